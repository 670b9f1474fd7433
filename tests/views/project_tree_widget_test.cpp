// The projects tree control on a real temporary folder: one branch open at a time, folders
// listed only when first shown open, links that lead back up never entered, other programs'
// changes followed, and every entry of a folder shown in the order the folder is listed in.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <filesystem>
#include <functional>
#include <set>

#include "support/records.h"
#include "views/project_tree.h"

namespace {

namespace fs = std::filesystem;

QStringList Texts(const QTreeWidgetItem* parent) {
  QStringList t;
  for (int i = 0; i < parent->childCount(); ++i) t << parent->child(i)->text(0);
  return t;
}

QTreeWidgetItem* Child(const QTreeWidgetItem* parent, const QString& text) {
  for (int i = 0; i < parent->childCount(); ++i) {
    if (parent->child(i)->text(0) == text) return parent->child(i);
  }
  return nullptr;
}

class ProjectTreeOnDisk : public ::testing::Test {
 protected:
  void Touch(const std::string& rel) {
    fs::create_directories(fs::path(root + "/" + rel).parent_path());
    testdata::WriteBytes(root + "/" + rel, {1});
  }
  void Show() {
    tree.SetProjectsDir(root);
    tree.Rebuild();
  }
  QTreeWidgetItem* Top() const { return tree.invisibleRootItem(); }

  testdata::TempDir dir;
  std::string root = dir.path().string();
  CProjectTree tree;
};

}  // namespace

TEST_F(ProjectTreeOnDisk, OpeningAFolderClosesItsOpenSiblingsButNotItsAncestors) {
  Touch("MAIN ST/A-100/7Sub.lng");
  Touch("MAIN ST/B-200/7Sub.lng");
  Touch("COUNTY RD 9/Lime/12Lim.lng");
  Show();
  QTreeWidgetItem* county = Child(Top(), "COUNTY RD 9");
  QTreeWidgetItem* main = Child(Top(), "MAIN ST");

  tree.expandItem(county);
  tree.expandItem(main);
  EXPECT_FALSE(county->isExpanded());
  EXPECT_TRUE(main->isExpanded());

  QTreeWidgetItem* a100 = Child(main, "A-100");
  QTreeWidgetItem* b200 = Child(main, "B-200");
  tree.expandItem(a100);
  tree.expandItem(b200);
  EXPECT_TRUE(main->isExpanded());
  EXPECT_TRUE(b200->isExpanded());
  EXPECT_FALSE(a100->isExpanded());
}

TEST_F(ProjectTreeOnDisk, AFolderIsListedOnlyWhenItIsFirstShownOpen) {
  Touch("MAIN ST/A-100/Subgrade/7Sub.lng");
  Touch("COUNTY RD 9/Lime/12Lim.lng");
  fs::create_directory(root + "/EMPTY");
  Show();
  EXPECT_EQ(tree.FoldersListed(), 1);
  EXPECT_EQ(Texts(Top()), (QStringList{"COUNTY RD 9", "EMPTY", "MAIN ST"}));
  QTreeWidgetItem* main = Child(Top(), "MAIN ST");
  EXPECT_EQ(main->childCount(), 0);
  EXPECT_EQ(main->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

  tree.OpenFolders({"MAIN ST", "A-100", "Subgrade"});
  EXPECT_EQ(tree.FoldersListed(), 4);
  const QTreeWidgetItem* subgrade = Child(Child(main, "A-100"), "Subgrade");
  ASSERT_NE(subgrade, nullptr);
  EXPECT_TRUE(subgrade->isExpanded());
  EXPECT_EQ(Texts(subgrade), QStringList{"7Sub"});

  // Listed and found empty, a folder loses its button.
  QTreeWidgetItem* empty = Child(Top(), "EMPTY");
  tree.expandItem(empty);
  EXPECT_EQ(tree.FoldersListed(), 5);
  EXPECT_EQ(empty->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);

  // A rebuild lists the top level again and nothing below it until a folder opens.
  tree.Rebuild();
  EXPECT_EQ(tree.FoldersListed(), 6);
  EXPECT_FALSE(main->isExpanded());
  EXPECT_EQ(tree.ItemOf(main).names, std::vector<std::string>{"MAIN ST"});
  EXPECT_EQ(tree.FoldersListed(), 7);  // a folder's kind of item needs its listing

  // Each level must match exactly; the opening stops at the first level that is not there.
  tree.OpenFolders({"main st", "A-100"});
  EXPECT_FALSE(main->isExpanded());
  tree.OpenFolders({"MAIN ST", "B-7", "A-100"});
  EXPECT_TRUE(main->isExpanded());
  EXPECT_FALSE(Child(main, "A-100")->isExpanded());
}

// Only the folders the user sees open are watched, so that a folder of thousands of tests
// costs one watch: the expand-all key opens the current folder as opening it does, a file
// is never opened or watched as a folder, and a folder that closes releases its own watch
// and those of the folders open inside it.
TEST_F(ProjectTreeOnDisk, OnlyTheFoldersShownOpenAreWatched) {
  for (int i = 0; i < 40; ++i) Touch("P/" + std::to_string(i) + "Sub.lng");
  Touch("P/T-1/Subgrade/1Sub.lng");
  Touch("P/T-2/Base/1Bas.lng");
  Touch("Q/1Sub.lng");
  Show();
  const auto shownOpen = [&] {
    std::set<std::string> paths{root};
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* parent) {
      for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* c = parent->child(i);
        if (!c->isExpanded()) continue;
        paths.insert(tree.PathOf(c));
        walk(c);
      }
    };
    walk(Top());
    return paths;
  };
  const auto watched = [&] {
    std::set<std::string> paths;
    for (const QString& p : tree.WatchedPaths()) paths.insert(p.toStdString());
    return paths;
  };
  QTreeWidgetItem* p = Child(Top(), "P");
  tree.setCurrentItem(p);
  (void)tree.ItemOf(p);  // as selecting the folder lists it
  const int listed = tree.FoldersListed();
  QTest::keyClick(&tree, Qt::Key_Asterisk);
  EXPECT_TRUE(p->isExpanded());
  EXPECT_EQ(tree.FoldersListed(), listed);  // nothing below it was read
  EXPECT_EQ(watched(), shownOpen());
  EXPECT_EQ(watched().size(), 2);

  // Neither key opens a file.
  tree.setCurrentItem(Child(p, "7Sub"));
  QTest::keyClick(&tree, Qt::Key_Plus);
  QTest::keyClick(&tree, Qt::Key_Asterisk);
  EXPECT_FALSE(Child(p, "7Sub")->isExpanded());
  EXPECT_EQ(watched(), shownOpen());

  tree.OpenFolders({"P", "T-1", "Subgrade"});
  EXPECT_EQ(watched().size(), 4);
  EXPECT_EQ(watched(), shownOpen());
  tree.expandItem(Child(p, "T-2"));
  EXPECT_EQ(watched().size(), 3);
  EXPECT_EQ(watched(), shownOpen());

  tree.collapseItem(p);
  EXPECT_EQ(watched(), std::set<std::string>{root});
  tree.expandItem(p);
  EXPECT_EQ(watched(), shownOpen());
}

TEST_F(ProjectTreeOnDisk, LinksBackUpAreShownButNeverEntered) {
  Touch("P/1Sub.lng");
  fs::create_directory_symlink("..", root + "/P/up");
  fs::create_directory_symlink(".", root + "/P/self");
  fs::create_directory_symlink(root, root + "/P/projects");
  fs::create_directory_symlink("/", root + "/P/slash");
  Show();
  tree.OpenFolders({"P"});
  QTreeWidgetItem* p = Child(Top(), "P");
  EXPECT_EQ(Texts(p), (QStringList{"1Sub", "projects", "self", "slash", "up"}));
  const int listed = tree.FoldersListed();
  for (const char* back : {"up", "self", "projects"}) {
    tree.expandItem(Child(p, back));
    EXPECT_EQ(Child(p, back)->childCount(), 0) << back;
  }
  EXPECT_EQ(tree.FoldersListed(), listed);  // none of them was even read
  tree.expandItem(Child(p, "slash"));       // a link elsewhere is a folder like any other
  EXPECT_GT(Child(p, "slash")->childCount(), 0);
}

TEST_F(ProjectTreeOnDisk, AnotherProgramsChangesAppearAndVanishKeepingTheSelection) {
  Touch("P/1Sub.lng");
  Touch("P/2Sub.lng");
  Show();
  tree.OpenFolders({"P"});
  QTreeWidgetItem* p = Child(Top(), "P");
  QTreeWidgetItem* first = Child(p, "1Sub");
  tree.setCurrentItem(first);

  Touch("P/3Sub.lng");
  fs::remove(root + "/P/2Sub.lng");
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return Texts(p) == QStringList{"1Sub", "3Sub"};
      },
      5000))
      << Texts(p).join(",").toStdString();
  EXPECT_EQ(tree.currentItem(), first);
  EXPECT_TRUE(first->isSelected());
  EXPECT_TRUE(p->isExpanded());

  // The selected test deleted elsewhere: the selection goes with it, to no other test.
  fs::remove(root + "/P/1Sub.lng");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Texts(p) == QStringList{"3Sub"}; }, 5000));
  EXPECT_TRUE(tree.selectedItems().isEmpty());
}

// On a shared folder the system reports no change made from another computer: the look of
// the timer lists again, at once, each open folder whose entries changed, and no other.
TEST_F(ProjectTreeOnDisk, ALookListsAgainTheOpenFoldersWhoseEntriesChanged) {
  Touch("P/1Sub.lng");
  Touch("P/T-1/1Sub.lng");
  Touch("Q/1Sub.lng");
  // Folders last changed long ago, as a share's usually are.
  for (const char* folder : {"", "/P", "/P/T-1", "/Q"}) {
    const fs::path f = root + folder;
    fs::last_write_time(f, fs::last_write_time(f) - std::chrono::hours(24));
  }
  Show();
  tree.OpenFolders({"P", "T-1"});
  QTreeWidgetItem* p = Child(Top(), "P");
  const int listed = tree.FoldersListed();
  tree.CheckOpenFolders();
  EXPECT_EQ(tree.FoldersListed(), listed);

  Touch("P/2Sub.lng");
  Touch("Q/2Sub.lng");  // closed: nobody looks at it
  tree.CheckOpenFolders();
  EXPECT_EQ(Texts(p), (QStringList{"1Sub", "2Sub", "T-1"}));
  EXPECT_EQ(tree.FoldersListed(), listed + 1);
  EXPECT_TRUE(Child(p, "T-1")->isExpanded());
}

// A folder and a file of the same text are two items, which stay two as the folder is
// listed again; a folder whose name is not UTF-8 is opened by its own bytes.
TEST_F(ProjectTreeOnDisk, ShowsEveryEntryInTheOrderOfTheListing) {
  Touch("Zeta/1Sub.lng");
  Touch("\xC4rzte/1Sub.lng");  // the name in Windows-1252
  Touch("7Sub/1Sub.lng");
  Touch("7Sub.lng");
  Show();
  const QStringList top = {"7Sub", "7Sub", QString::fromUtf8("\xC3\x84rzte"), "Zeta"};
  EXPECT_EQ(Texts(Top()), top);
  EXPECT_TRUE(tree.ItemOf(Top()->child(0)).isFolder);
  EXPECT_FALSE(tree.ItemOf(Top()->child(1)).isFolder);
  tree.expandItem(Top()->child(2));
  EXPECT_EQ(Texts(Top()->child(2)), QStringList{"1Sub"});
  EXPECT_EQ(tree.PathOf(Top()->child(2)->child(0)), root + "/\xC4rzte/1Sub.lng");

  tree.Rebuild();
  EXPECT_EQ(Texts(Top()), top);
}

// A record deep in a long tree is brought into view as its folders open, without being
// selected: its file's item, or its folder's when the folder holds no such file.
TEST_F(ProjectTreeOnDisk, TheRecordsItemIsScrolledIntoView) {
  for (int i = 10; i < 70; ++i) Touch("P" + std::to_string(i) + "/1Sub.lng");
  for (int i = 10; i < 70; ++i) Touch("Z/T-1/Base/" + std::to_string(i) + "Bas.lng");
  tree.resize(240, 160);
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  Show();
  const auto seen = [&](const QTreeWidgetItem* item) {
    QCoreApplication::processEvents();
    // Its row in the viewport; a long name may run on past the right edge.
    const QRect row = tree.visualItemRect(item);
    return row.top() >= 0 && row.bottom() <= tree.viewport()->rect().bottom();
  };
  tree.OpenFolders({"Z", "T-1", "Base"}, "45Bas.lng");
  QTreeWidgetItem* base = Child(Child(Child(Top(), "Z"), "T-1"), "Base");
  ASSERT_NE(base, nullptr);
  EXPECT_TRUE(seen(Child(base, "45Bas")));
  EXPECT_TRUE(tree.selectedItems().isEmpty());

  tree.Rebuild();
  tree.scrollToTop();
  tree.OpenFolders({"Z", "T-1", "Base"}, "9Sub.lng");
  EXPECT_TRUE(seen(Child(Child(Child(Top(), "Z"), "T-1"), "Base")));
}
