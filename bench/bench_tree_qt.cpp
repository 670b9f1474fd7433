// The projects tree on 100,000 tests: the program's own tree, which lists a folder only when
// it is first shown open, start-up against an empty projects directory, Save with the tree's
// update, and opening a folder of 10,000 tests, by itself and against the expand-all key on it;
// and the timer's look at ten open folders, on a local disk and on a network share.
// Everything is written under $DENSORA_BENCH_DIR (default /tmp/densora-bench), the share's
// folders under $DENSORA_SHARE_A (set by tools/test-network).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/densora_app.h"
#include "app/family_window.h"
#include "app/settings.h"
#include "file/disk_changes.h"
#include "file/document_commands.h"
#include "file/lng_format.h"
#include "file/project_tree.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "projects_generator.h"
#include "support/fake_command_host.h"
#include "views/project_tree.h"

namespace {

// The program's own tree control, on screen, rebuilt as after a Save: the top level listed
// again and one record's folders opened.
void BM_ShownProjectTreeRebuild(benchmark::State& state) {
  CProjectTree tree;
  tree.resize(146, 380);
  tree.show();
  tree.SetProjectsDir(BenchProjectsDir());
  for (auto _ : state) {
    tree.Rebuild();
    tree.OpenFolders({"PROJECT 100", "T-102", "Subgrade"});
    QCoreApplication::processEvents();
  }
  state.counters["folders read"] =
      benchmark::Counter(tree.FoldersListed(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ShownProjectTreeRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Start-up to the first shown window, with an empty projects directory (0) and with the
// 100,000 tests (1): the two should cost the same.
void BM_StartUp(benchmark::State& state) {
  const std::string home = BenchDir() + "/home";
  const std::string empty = home + "/empty-projects";
  std::filesystem::create_directories(empty);
  // The program's settings and data of a user of its own, not those of the user running it.
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home + "/config"));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home + "/data"));
  const std::string projects = state.range(0) == 0 ? empty : BenchProjectsDir();
  settings::WriteProjectsDir(projects);
  if (settings::ReadProjectsDir() != projects) {
    state.SkipWithError("the projects directory could not be set");
    return;
  }
  CDensoraApp::Options o;
  o.installPrompt = false;
  o.registerFileType = false;
  o.runDesktopTools = false;
  for (auto _ : state) {
    CDensoraApp app;
    app.InitInstance({QStringLiteral("densora")}, o);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A complete record saved into the large tree as a test of its own: the write alone (0), and
// the write with the tree's update after it (1). The write waits for the disk (fsync), so the
// time is the wall clock's, over a fixed number of saves.
void BM_Save(benchmark::State& state) {
  std::string root = BenchProjectsDir();
  const std::string folder = root + "/PROJECT 100/T-102/Subgrade";
  CDensoraDoc doc;
  CDensityCurve curve(doc);
  FakeCommandHost host;
  CDocumentCommands cmds(doc, curve, root, host);
  if (!doc.OnOpenDocument(folder + "/7Sub.lng")) {
    state.SkipWithError("no test to save");
    return;
  }
  doc.m_record.m_strTestNo = "999";
  // The copy an earlier run saved: the first save makes it anew, the others replace it as the
  // record's own file, never asking.
  std::filesystem::remove(folder + "/999Sub.lng");
  CProjectTree tree;
  tree.resize(146, 380);
  tree.show();
  tree.SetProjectsDir(root);
  tree.Rebuild();
  for (auto _ : state) {
    cmds.OnFileSave();
    if (state.range(0) == 1) {
      tree.Rebuild();
      tree.OpenFolders(RecordFolderTexts(doc.m_record));
      QCoreApplication::processEvents();
    }
  }
  if (!doc.Stamp().Covers(folder + "/999Sub.lng")) state.SkipWithError("the test was not saved");
}
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

std::unique_ptr<CProjectTree> ShownTree(const std::string& root) {
  auto tree = std::make_unique<CProjectTree>();
  tree->resize(146, 380);
  tree->show();
  tree->SetProjectsDir(root);
  tree->Rebuild();
  return tree;
}

// A folder of 10,000 tests opened for the first time: listed, sorted and shown.
void BM_OpenFolderOf10000Tests(benchmark::State& state) {
  const std::string root = BigFolderDir();
  for (auto _ : state) {
    state.PauseTiming();
    auto tree = ShownTree(root);
    state.ResumeTiming();
    tree->OpenFolders({"BIG"});
    QCoreApplication::processEvents();
    state.PauseTiming();
    tree.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenFolderOf10000Tests)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The expand-all key ("*") pressed on the selected folder of 10,000 tests, against opening
// that folder, in the same run: "expand-all / open" should stay near 1 or below. The time
// shown is the key's; "watches" counts what the tree watches afterwards. The key is a small
// part of each iteration (two trees are built and a folder listed), so the run is a fixed
// number of iterations rather than a time spent on the key.
void BM_ExpandAllAgainstOpening(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::string root = BigFolderDir();
  double openSeconds = 0.0, expandAllSeconds = 0.0;
  int watches = 0;
  for (auto _ : state) {
    {
      auto tree = ShownTree(root);
      const auto start = Clock::now();
      tree->OpenFolders({"BIG"});
      QCoreApplication::processEvents();
      openSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    auto tree = ShownTree(root);
    QTreeWidgetItem* big = tree->topLevelItem(0);
    tree->setCurrentItem(big);
    (void)tree->ItemOf(big);  // selecting the folder lists it
    QCoreApplication::processEvents();
    const auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Asterisk, Qt::NoModifier, QStringLiteral("*"));
    QApplication::sendEvent(tree.get(), &press);
    QCoreApplication::processEvents();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    expandAllSeconds += seconds;
    state.SetIterationTime(seconds);
    watches = static_cast<int>(tree->WatchedPaths().size());
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["open ms"] = 1000.0 * openSeconds / n;
  state.counters["expand-all ms"] = 1000.0 * expandAllSeconds / n;
  state.counters["expand-all / open"] = expandAllSeconds / openSeconds;
  state.counters["watches"] = watches;
}
BENCHMARK(BM_ExpandAllAgainstOpening)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

// Ten folders, each inside the one before, of 1,000 tests each, under `root`, written on first
// use; the folders and tests dated an hour back, as a share's folders mostly are. The folders'
// texts from the top down.
std::vector<std::string> MakeOpenFolders(const std::string& root) {
  namespace fs = std::filesystem;
  std::vector<std::string> texts;
  for (int level = 1; level <= 10; ++level) texts.push_back("L" + std::to_string(level));
  if (fs::exists(root + "/.complete")) return texts;
  CompactionRecord r;
  r.m_strProject = "L1";
  r.m_strTestType = "Subgrade";
  r.m_dMoldWeight = 4250;
  std::vector<std::string> folders{root};
  for (const std::string& text : texts) folders.push_back(folders.back() + "/" + text);
  fs::create_directories(folders.back());
  const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (std::size_t f = 1; f < folders.size(); ++f) {
    for (int n = 1; n <= 1000; ++n) {
      r.m_strTestNo = std::to_string(n);
      const std::string file = folders[f] + "/" + r.m_strTestNo + "Sub.lng";
      const std::vector<unsigned char> bytes = LngBytes(r);
      std::ofstream(file, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
      if (n == 1) fs::last_write_time(file, hourAgo);
    }
  }
  for (const std::string& folder : folders) fs::last_write_time(folder, hourAgo);
  std::ofstream(root + "/.complete") << "10 x 1000\n";
  fs::last_write_time(root, hourAgo);
  return texts;
}

// One tick of the timer's look with nothing changed: the stamps of the ten open folders (and
// of the projects directory) and of the open test's file, on a local disk (0) and on the sshfs
// share that tools/test-network mounts (1). "folders listed" counts the folders the ticks
// listed again: 0, as nothing changed.
void BM_LookTick(benchmark::State& state) {
  std::string root = BenchDir() + "/open-folders";
  if (state.range(0) == 1) {
    const std::string share = qEnvironmentVariable("DENSORA_SHARE_A").toStdString();
    if (share.empty()) {
      state.SkipWithError("no network share: run it under tools/test-network");
      return;
    }
    root = share + "/open-folders";
  }
  const std::vector<std::string> texts = MakeOpenFolders(root);
  auto tree = ShownTree(root);
  tree->OpenFolders(texts);
  std::string deepest = root;
  for (const std::string& text : texts) deepest += "/" + text;
  CDensoraDoc doc;
  if (!doc.OpenFile(deepest + "/1Sub.lng")) {
    state.SkipWithError("no test to open");
    return;
  }
  COpenRecordCheck check(doc);
  (void)check.Look();  // the first look at a new stamp compares the file's bytes once
  const int listed = tree->FoldersListed();
  for (auto _ : state) {
    tree->CheckOpenFolders();
    benchmark::DoNotOptimize(check.Look());
  }
  state.counters["open folders"] = static_cast<double>(tree->WatchedPaths().size());
  state.counters["folders listed"] = tree->FoldersListed() - listed;
}
BENCHMARK(BM_LookTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(1.0);
// The Family of Curves window on a folder of 10,000 member tests, read, fitted and drawn:
// the first opening, with every file read (0), and an opening again, from the cache by file
// stamp (1).
void BM_FamilyWindowOpen(benchmark::State& state) {
  FamilyCache kept;
  const std::string root = FamilyFolderDir();
  if (state.range(0) == 1) kept.Scan(root + "/FAMILY");
  for (auto _ : state) {
    FamilyCache fresh;
    CFamilyWindow::Context context;
    context.cache = state.range(0) == 1 ? &kept : &fresh;
    context.projectsDir = root;
    auto* window = new CFamilyWindow(context, root + "/FAMILY", nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (!window->Load()) {
      state.SkipWithError("the family could not be read");
      delete window;
      return;
    }
    benchmark::DoNotOptimize(window->grab());  // the chart and the table's visible rows drawn
    delete window;
  }
}
BENCHMARK(BM_FamilyWindowOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
