// Start-up: the settings, the projects directory, the command line, the County list and the
// file-type association.
#include "app/densora_app.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/app_commands.h"
#include "app/file_association.h"
#include "app/relative_compaction_dlg.h"
#include "app/resource.h"
#include "app/settings.h"
#include "model/messages.h"
#include "support_qt/app_fixture.h"
#include "views/project_info_page.h"
#include "views/project_tree.h"

namespace fs = std::filesystem;

using Startup = AppFixture;

namespace {
const std::string kSample = std::string(DENSORA_SAMPLES_DIR) + "/MAIN ST/A-100/Subgrade/7Sub.lng";

QString ReadText(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

// Sets an environment variable for a while, then puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value)
      : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_before(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnv() {
    if (m_had) {
      qputenv(m_name, m_before);
    } else {
      qunsetenv(m_name);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  bool m_had;
  QByteArray m_before;
};

// Opens the writing end of a pipe whenever a reader waits on it, which lets the reader go
// with an end of file, and then takes the pipe away, for a reader that would try again and
// again: a start that would wait on the pipe for ever goes on, and the test learns that it
// waited.
class PipeWatch {
 public:
  explicit PipeWatch(std::string path) : m_path(std::move(path)) {
    m_thread = std::thread([this] {
      while (!m_stop) {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
          m_waited = true;
          ::unlink(m_path.c_str());
          ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  ~PipeWatch() {
    m_stop = true;
    m_thread.join();
  }
  PipeWatch(const PipeWatch&) = delete;
  PipeWatch& operator=(const PipeWatch&) = delete;
  bool ReaderWaited() const { return m_waited; }

 private:
  std::string m_path;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_waited{false};
  std::thread m_thread;
};
}  // namespace

TEST_F(Startup, ReadsTheProjectsDirectoryAndCreatesIt) {
  const std::string dir = tmp / "my projects";
  PrepareSettings(dir);
  prepared = true;
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->m_strProjectsDir, dir);
  EXPECT_TRUE(fs::is_directory(dir));
}

// A first start has no test to show: the tree says so in its place and offers the sample
// tests, which Help Open Sample Tests copies into a folder of the user's choice and shows.
TEST_F(Startup, AnEmptyTreeSaysSoAndTheSampleTestsFillIt) {
  ASSERT_TRUE(Start());
  CProjectTree& tree = View()->Tree();
  EXPECT_EQ(tree.topLevelItemCount(), 0);
  EXPECT_EQ(tree.ShownNote().toStdString(),
            "No tests yet in " + (tmp / "projects") + "\n\n" + msg::kSampleTestsOffer);
  const std::string chosen = tmp / "samples";
  fs::create_directory(chosen);
  app->Commands()->m_samplesDialogOverride = [&] { return std::optional(chosen); };
  Frame()->OnCommand(ID_HELP_OPEN_SAMPLES);
  EXPECT_EQ(app->m_strProjectsDir, chosen);
  EXPECT_EQ(settings::ReadProjectsDir(), chosen);
  ASSERT_EQ(tree.topLevelItemCount(), 2);
  EXPECT_EQ(tree.topLevelItem(0)->text(0), "COUNTY RD 9");
  EXPECT_EQ(tree.topLevelItem(1)->text(0), "MAIN ST");
  EXPECT_TRUE(tree.ShownNote().isEmpty());
  EXPECT_EQ(Doc().GetPathName(), chosen + "/COUNTY RD 9/Lime/12Lim.lng");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(Startup, WithoutASettingTheDefaultIsUsedAndNotWritten) {
  PrepareSettings("");
  prepared = true;
  EXPECT_EQ(settings::ReadProjectsDir(), QDir::homePath().toStdString() + "/Densora");
  QSettings s(QStringLiteral("Vollin"), QStringLiteral("Densora"));
  EXPECT_FALSE(s.contains(QStringLiteral("Project Directory")));
}

TEST_F(Startup, AMissingParentIsNotCreated) {
  const std::string dir = tmp / "no/such/parent";
  PrepareSettings(dir);
  prepared = true;
  ASSERT_TRUE(Start());
  EXPECT_FALSE(fs::exists(tmp / "no"));
}

// A pipe in place of the settings file, of its lock or of the recovery copy's lock would keep
// the start waiting for ever. The program starts without opening it, with the default
// settings, and the status bar says which file is in the way.
TEST_F(Startup, APipeInPlaceOfASettingsOrStateFileDoesNotHoldUpTheStart) {
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString(tmp / "home"));
  const struct {
    const char* pipe;
    const char* note;
  } rows[] = {
      {"config/Vollin/Densora.conf", msg::kSettingsNotKept},
      {"config/Vollin/Densora.conf.lock", msg::kSettingsNotKept},
      {"data/Vollin/Densora/recovery.lock", msg::kRecoveryNotRegular},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pipe);
    fs::remove_all(tmp / "config");
    fs::remove_all(tmp / "data");
    PrepareSettings("");
    prepared = true;
    const std::string pipe = tmp / row.pipe;
    fs::create_directories(fs::path(pipe).parent_path());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    {
      PipeWatch watch(pipe);
      // Opening a file writes the recent-file list, which takes the settings' lock.
      ASSERT_TRUE(Start({QString::fromStdString(kSample)}));
      EXPECT_FALSE(watch.ReaderWaited());
    }
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->statusBar()->currentMessage().toStdString(),
              framework::FormatStock(row.note, pipe));
    EXPECT_EQ(app->m_strProjectsDir, tmp / "home/Densora");
    EXPECT_TRUE(fs::is_fifo(pipe));
    app.reset();
  }
  qputenv("HOME", home);
}

TEST_F(Startup, TheSettingIsStoredWhereTheProgramLooks) {
  PrepareSettings("");
  prepared = true;
  QCoreApplication::setOrganizationName(QStringLiteral("Vollin"));
  settings::WriteProjectsDir("/srv/lab");
  EXPECT_EQ(settings::ReadProjectsDir(), "/srv/lab");
  settings::WriteRecentFiles({"/x/1.lng", "/x/2.lng"});
  QSettings s(QStringLiteral("Vollin"), QStringLiteral("Densora"));
  EXPECT_EQ(s.value(QStringLiteral("Recent File List/File1")).toString(), "/x/1.lng");
  EXPECT_EQ(s.value(QStringLiteral("Recent File List/File2")).toString(), "/x/2.lng");
  EXPECT_FALSE(s.contains(QStringLiteral("Recent File List/File3")));
  EXPECT_EQ(settings::ReadRecentFiles(), (std::vector<std::string>{"/x/1.lng", "/x/2.lng"}));
}

// Tools > Relative Compaction: a list no laboratory works to is refused and the dialog stays;
// one it takes is the document's from then on and is kept in the settings where densora-cli
// reads it too. The next start begins with it.
TEST_F(Startup, TheRelativeCompactionPercentagesAreSetFromToolsAndKeptForTheCli) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Doc().m_dRelativeCompaction, (std::vector<double>{95}));
  bool typed = false;
  QTimer::singleShot(0, [&typed] {
    auto* dlg = qobject_cast<CRelativeCompactionDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->Edit()->text(), "95");
    dlg->Edit()->selectAll();
    QTest::keyClicks(dlg->Edit(), "95, 110");
    QTest::keyClick(dlg->Edit(), Qt::Key_Return);
    EXPECT_TRUE(dlg->isVisible());
    dlg->Edit()->selectAll();
    QTest::keyClicks(dlg->Edit(), "95, 90");
    QTest::keyClick(dlg->Edit(), Qt::Key_Return);
    typed = true;
  });
  Frame()->Action(ID_TOOLS_RELATIVE_COMPACTION)->trigger();
  ASSERT_TRUE(typed);
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{
                                "Enter percentages from 50 to 100 with at most one decimal, at "
                                "most five, separated by commas (90,95)."}));
  EXPECT_EQ(Doc().m_dRelativeCompaction, (std::vector<double>{90, 95}));
  EXPECT_EQ(settings::ReadRelativeCompaction(), (std::vector<double>{90, 95}));
  EXPECT_FALSE(Doc().IsModified());

  // densora-cli reads what the program wrote.
  const std::string cmd = std::string("'") + DENSORA_CLI_PATH + "' show --json '" + kSample + "'";
  FILE* pipe = popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  EXPECT_EQ(pclose(pipe), 0);
  const auto at = out.find("\"relativeCompaction\"");
  ASSERT_NE(at, std::string::npos) << out;
  const std::string windows = out.substr(at, out.find(']', at) - at);
  EXPECT_NE(windows.find("\"percent\": 90.0"), std::string::npos) << windows;
  EXPECT_NE(windows.find("\"percent\": 95.0"), std::string::npos) << windows;

  app.reset();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Doc().m_dRelativeCompaction, (std::vector<double>{90, 95}));
}

TEST_F(Startup, OpensTheFileNamedOnTheCommandLineKeepingItsDate) {
  ASSERT_TRUE(fs::exists(kSample));
  ASSERT_TRUE(Start({QString::fromStdString(kSample)}));
  EXPECT_EQ(Record().m_strProject, "MAIN ST");
  EXPECT_EQ(Record().m_strDate, "05/09/2003");
  const std::string absolute =
      QFileInfo(QString::fromStdString(kSample)).absoluteFilePath().toStdString();
  EXPECT_EQ(Doc().GetPathName(), absolute);
  EXPECT_EQ(Frame()->windowTitle(), "7Sub.lng - Densora");
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{absolute});
  auto* project = Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT);
  EXPECT_EQ(project->text(), "MAIN ST");
  // The curve page fitted the record as it was created.
  EXPECT_GT(Record().m_dMaxDryDensity, 100.0);
}

// What the command line asks for: help and the version win over anything else, even over
// the toolkit's options not yet taken out; an unknown option is refused; after "--" every
// word is a file's name.
TEST(DesktopCommandLine, HelpVersionUnknownOptionsAndTheEndOfTheOptions) {
  struct Row {
    QStringList words;  // after the program's name
    CommandLine::Action action;
    QString file;
    QString text;  // the start of what is printed
  };
  const Row rows[] = {
      {{}, CommandLine::kStart, "", ""},
      {{"t.lng"}, CommandLine::kStart, "t.lng", ""},
      {{"--", "-dash.lng"}, CommandLine::kStart, "-dash.lng", ""},
      {{"--", "--help"}, CommandLine::kStart, "--help", ""},
      {{"--help"}, CommandLine::kPrint, "", "Usage: densora [options] [FILE.lng]\n"},
      {{"-platform", "offscreen", "-h"}, CommandLine::kPrint, "", "Usage: densora [options]"},
      {{"t.lng", "--version"}, CommandLine::kPrint, "", "densora " DENSORA_VERSION "\n"},
      {{"--bogus", "t.lng"},
       CommandLine::kRefuse,
       "t.lng",
       "densora: unknown option --bogus; see densora --help\n"},
      {{"-x"}, CommandLine::kRefuse, "", "densora: unknown option -x; see densora --help\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.words.join(u' ').toStdString());
    const CommandLine line = ReadCommandLine(QStringList{QStringLiteral("densora")} + row.words);
    EXPECT_EQ(line.action, row.action);
    EXPECT_EQ(line.file, row.file);
    EXPECT_EQ(line.text.left(row.text.size()), row.text);
    EXPECT_EQ(line.text.isEmpty(), row.text.isEmpty());
  }
}

TEST_F(Startup, OpensAFileWhoseNameBeginsWithADashAfterTheEndOfTheOptions) {
  const std::string dash = tmp / "-dash.lng";
  fs::copy_file(kSample, dash);
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(tmp.path().string()));
  const bool started = Start({QStringLiteral("--"), QStringLiteral("-dash.lng")});
  QDir::setCurrent(cwd);
  ASSERT_TRUE(started);
  EXPECT_EQ(Doc().GetPathName(), dash);
}

TEST_F(Startup, AFileThatCannotBeOpenedEndsTheStartAfterItsMessage) {
  EXPECT_FALSE(Start({QString::fromStdString(tmp / "missing.lng")}));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("missing.lng"), std::string::npos);
}

// A file the reader refuses was reported; the program then starts with a new record. Only a
// file that cannot be read at all ends the start.
TEST_F(Startup, AFileTheReaderRefusesStartsANewRecord) {
  testdata::WriteBytes(tmp / "empty.lng", {});
  testdata::WriteBytes(tmp / "badmagic.lng", {0x2D, 0x77, 0, 0, 3, 'x', 'y', 'z'});
  for (const char* name : {"empty.lng", "badmagic.lng"}) {
    prompt.shown.clear();
    ASSERT_TRUE(Start({QString::fromStdString(tmp / name)})) << name;
    EXPECT_EQ(prompt.shown.size(), 1u) << name;
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_EQ(Frame()->windowTitle(), "Untitled - Densora");
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(app->RecentFiles().empty());
  }
}

TEST_F(Startup, ARejectedFileChangesNothing) {
  const std::string bad = tmp / "bad.lng";
  std::ofstream(bad, std::ios::binary) << "not a compaction file at all, just text";
  ASSERT_TRUE(Start());
  QTest::keyClicks(Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT), "keep");
  EXPECT_FALSE(app->OpenDocumentFile(bad));
  EXPECT_FALSE(prompt.shown.empty());
  EXPECT_EQ(Record().m_strProject, "KEEP");
  EXPECT_TRUE(Doc().GetPathName().empty());
  EXPECT_EQ(Frame()->windowTitle(), "Untitled - Densora");
  EXPECT_TRUE(app->RecentFiles().empty());
}

TEST_F(Startup, TheCountyListOfTheProjectsDirectoryReplacesTheShippedOne) {
  const std::string dir = tmp / "projects";
  fs::create_directories(dir);
  std::ofstream(dir + "/counties.txt") << "Alpha\nBeta\n";
  ASSERT_TRUE(Start());
  auto* county = View()->ProjectInfoPage()->ControlAs<QComboBox>(CProjectInfoPage::IDC_COUNTY);
  ASSERT_EQ(county->count(), 2);
  EXPECT_EQ(county->itemText(1), "Beta");
}

TEST_F(Startup, AnEmptyCountyFileLeavesTheShippedList) {
  const std::string dir = tmp / "projects";
  fs::create_directories(dir);
  std::ofstream(dir + "/counties.txt") << "\n";
  EXPECT_EQ(CDensoraApp::LoadCounties(dir).size(), 102u);
  EXPECT_EQ(CDensoraApp::LoadCounties(tmp / "elsewhere").size(), 102u);
  // A county list is a few kilobytes: one of over a megabyte is not read at all.
  std::string huge;
  while (huge.size() <= (1u << 20)) huge += "Alpha\n";
  std::ofstream(dir + "/counties.txt") << huge;
  EXPECT_EQ(CDensoraApp::LoadCounties(dir).size(), 102u);
}

// Written for the user at every start, even when already right, under the program's id; an
// entry an older version wrote under its old name goes. With an installed package's entry in
// a system data folder, by either name, nothing at all. A part that cannot be written is left
// out without a word: the program starts as it would without it. The files wait until the
// window is first on the screen.
TEST_F(Startup, WritesTheFileTypeAssociationForTheUserUnlessAPackageDoes) {
  const std::string system = tmp / "system";
  ScopedEnv dirs("XDG_DATA_DIRS", QByteArray::fromStdString(system));
  fs::create_directories(tmp / "data/applications");
  std::ofstream(tmp / "data/icons") << "a file where the icons' folder goes";
  std::ofstream(tmp / "data/applications/densora.desktop")
      << "[Desktop Entry]\nName=Densora\nMimeType=application/x-densora-compaction;\n";
  ASSERT_TRUE(Start({}, true));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return fs::exists(tmp / "data/applications/com.vollin.densora.desktop"); }, 5000));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(Frame()->statusBar()->currentMessage().isEmpty());
  EXPECT_TRUE(fs::is_regular_file(tmp / "data/icons"));
  EXPECT_FALSE(fs::exists(tmp / "data/applications/densora.desktop"));
  const QString data = QString::fromStdString(tmp / "data");
  const QString entry = data + "/applications/com.vollin.densora.desktop";
  const QString desktop = ReadText(entry);
  EXPECT_TRUE(desktop.contains("MimeType=application/x-densora-compaction;"));
  EXPECT_TRUE(
      desktop.contains("Exec=" + *association::ExecLine(QCoreApplication::applicationFilePath())));
  const QString mime = ReadText(data + "/mime/packages/densora.xml");
  EXPECT_TRUE(mime.contains("<glob pattern=\"*.lng\"/>"));
  EXPECT_TRUE(mime.contains("type=\"application/x-densora-compaction\""));
  QFile::remove(entry);
  app->RegisterFileType();
  EXPECT_FALSE(ReadText(entry).isEmpty());
  // Another program's entry of the old name is not ours to remove.
  std::ofstream(tmp / "data/applications/densora.desktop") << "[Desktop Entry]\nName=Other\n";
  app->RegisterFileType();
  EXPECT_TRUE(fs::exists(tmp / "data/applications/densora.desktop"));

  for (const char* installed : {"com.vollin.densora.desktop", "densora.desktop"}) {
    fs::remove_all(tmp / "data/applications");
    fs::remove_all(tmp / "data/mime");
    fs::remove_all(tmp / "data/icons");
    fs::remove_all(system);
    fs::create_directories(system + "/applications");
    std::ofstream(system + "/applications/" + installed) << "[Desktop Entry]\n";
    app->RegisterFileType();
    EXPECT_FALSE(fs::exists(tmp / "data/applications")) << installed;
    EXPECT_FALSE(fs::exists(tmp / "data/mime")) << installed;
    EXPECT_FALSE(fs::exists(tmp / "data/icons")) << installed;
  }
}

// The user's association is the one an install puts into the system's folders, the
// program's own path in the Exec line apart; the installed entry runs densora from the PATH.
TEST_F(Startup, TheUsersAssociationIsTheInstalledOne) {
  ScopedEnv dirs("XDG_DATA_DIRS", QByteArray::fromStdString(tmp / "system"));
  ASSERT_TRUE(Start({}, true));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return fs::exists(tmp / "data/icons/hicolor/48x48/mimetypes"); }, 5000));
  const QString data = QString::fromStdString(tmp / "data");
  const QString res = QStringLiteral(DENSORA_RES_DIR);
  const struct {
    const char* written;
    QString installed;
  } kFiles[] = {
      {"applications/com.vollin.densora.desktop",
       DENSORA_INSTALL_FILES_DIR "/com.vollin.densora.desktop"},
      {"mime/packages/densora.xml", res + "/densora.xml"},
      {"icons/hicolor/scalable/apps/densora.svg", res + "/icons/densora.svg"},
      {"icons/hicolor/48x48/apps/densora.png", res + "/icons/48x48/densora.png"},
      {"icons/hicolor/scalable/mimetypes/application-x-densora-compaction.svg",
       res + "/icons/application-x-densora-compaction.svg"},
      {"icons/hicolor/48x48/mimetypes/application-x-densora-compaction.png",
       res + "/icons/48x48/application-x-densora-compaction.png"},
  };
  const QByteArray ownExec =
      "Exec=" + association::ExecLine(QCoreApplication::applicationFilePath())->toUtf8() + '\n';
  for (const auto& f : kFiles) {
    QFile written(data + '/' + QString::fromLatin1(f.written));
    QFile installed(f.installed);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << f.written;
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly)) << f.installed.toStdString();
    EXPECT_EQ(written.readAll().replace(ownExec, "Exec=densora %f\n"), installed.readAll())
        << f.written;
  }
}

TEST(DesktopEntry, QuotesTheProgramPath) {
  EXPECT_EQ(association::ExecLine("/usr/bin/densora"), "\"/usr/bin/densora\" %f");
  EXPECT_EQ(association::ExecLine("/opt/my lab/densora"), "\"/opt/my lab/densora\" %f");
  // Inside quotes: \" \` \$ \\, and every backslash doubled once more for the string value.
  EXPECT_EQ(association::ExecLine("/a\"b$c"), "\"/a\\\\\"b\\\\$c\" %f");
  EXPECT_EQ(association::ExecLine("/100%/d"), "\"/100%%/d\" %f");
}

// A program path with a control character cannot be an Exec line: a newline would end the
// line and begin another that the path chose. No Exec line is made, and no file is written
// for the association, as when an installed package has its own.
TEST(DesktopEntry, APathThatWouldSplitTheExecLineWritesNothing) {
  for (const QString& path : {QStringLiteral("/opt/lab\nExec=/tmp/x/densora"),
                              QStringLiteral("/opt/lab\tdensora"), QStringLiteral("/opt/\x7f/d")}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(association::ExecLine(path), std::nullopt);
    EXPECT_TRUE(association::AssociationFiles(path, {}).empty());
  }
  EXPECT_EQ(association::AssociationFiles("/opt/lab/densora", {"/nowhere"}).size(), 6u);
}
