// The projects tree widget on 100,000 tests: the listing, the widget's items built from it,
// and Save followed by the whole rebuild, as the program does after every Save.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>
#include <cstdlib>

#include "file/project_tree.h"
#include "projects_generator.h"
#include "views/project_tree.h"

namespace {

std::string Root() {
  const char* env = std::getenv("DENSORA_BENCH_DIR");
  static const std::string root = env ? env : "/tmp/densora-bench-projects";
  static const long files = MakeProjectsDirectory(root);
  (void)files;
  return root;
}

void Add(QTreeWidgetItem* parent, QList<QTreeWidgetItem*>& top, const std::vector<ProjectNode>& nodes,
         const QIcon& icon) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(nodes.size()));
  for (const ProjectNode& n : nodes) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(n.text)));
    item->setIcon(0, icon);
    if (!n.children.empty()) Add(item, top, n.children, icon);
    items.push_back(item);
  }
  if (parent) {
    parent->addChildren(items);
  } else {
    top = items;
  }
}

void BM_TreeWidgetBuild(benchmark::State& state) {
  const auto nodes = ScanProjectsDir(Root());
  QTreeWidget tree;
  const QIcon icon = tree.style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (auto _ : state) {
    tree.clear();
    QList<QTreeWidgetItem*> top;
    Add(nullptr, top, nodes, icon);
    tree.addTopLevelItems(top);
  }
}
BENCHMARK(BM_TreeWidgetBuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ListAndBuild(benchmark::State& state) {
  QTreeWidget tree;
  const QIcon icon = tree.style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (auto _ : state) {
    const auto nodes = ScanProjectsDir(Root());
    tree.clear();
    QList<QTreeWidgetItem*> top;
    Add(nullptr, top, nodes, icon);
    tree.addTopLevelItems(top);
  }
}
BENCHMARK(BM_ListAndBuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The program's own tree control, on screen: the items built, one record's folders opened
// and the control laid out and painted, names at full width.
void BM_ShownProjectTreeRebuild(benchmark::State& state) {
  const auto nodes = ScanProjectsDir(Root());
  CProjectTree tree;
  tree.resize(146, 380);
  tree.show();
  const QIcon icon = tree.style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (auto _ : state) {
    tree.setUpdatesEnabled(false);
    tree.clear();
    QList<QTreeWidgetItem*> top;
    Add(nullptr, top, nodes, icon);
    tree.addTopLevelItems(top);
    for (QTreeWidgetItem* at = tree.topLevelItem(100); at && at->childCount() > 0; at = at->child(2)) {
      at->setExpanded(true);
    }
    tree.setUpdatesEnabled(true);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_ShownProjectTreeRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
