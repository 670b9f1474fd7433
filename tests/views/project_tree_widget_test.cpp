// The projects tree control: one branch open at a time.
#include <gtest/gtest.h>

#include "views/project_tree.h"

namespace {

QTreeWidgetItem* Folder(QTreeWidgetItem* parent, const char* name) {
  auto* item = new QTreeWidgetItem(parent, QStringList{QString::fromLatin1(name)});
  new QTreeWidgetItem(item, QStringList{QStringLiteral("7Sub")});
  return item;
}

TEST(ProjectTreeControl, OpeningAFolderClosesItsOpenSiblingsButNotItsAncestors) {
  CProjectTree tree;
  auto* main = new QTreeWidgetItem(QStringList{QStringLiteral("MAIN ST")});
  auto* county = new QTreeWidgetItem(QStringList{QStringLiteral("COUNTY RD 9")});
  tree.addTopLevelItems({county, main});
  QTreeWidgetItem* a100 = Folder(main, "A-100");
  QTreeWidgetItem* b200 = Folder(main, "B-200");
  Folder(county, "Lime");

  tree.expandItem(county);
  tree.expandItem(main);
  EXPECT_FALSE(county->isExpanded());
  EXPECT_TRUE(main->isExpanded());

  tree.expandItem(a100);
  tree.expandItem(b200);
  EXPECT_TRUE(main->isExpanded());
  EXPECT_TRUE(b200->isExpanded());
  EXPECT_FALSE(a100->isExpanded());
}

}  // namespace
