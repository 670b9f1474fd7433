// The Family of Curves window on a folder of the projects tree, driven by the keyboard: its
// table, the line of the tests left out, a test left out and the choice kept for the folder,
// the shortage, and a one-point test started from it.
#include "app/family_window.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "app/app_commands.h"
#include "support_qt/app_fixture.h"

namespace fs = std::filesystem;

namespace {

class FamilyWindow : public AppFixture {
 protected:
  void SetUp() override {
    fs::copy(std::string(DENSORA_SAMPLES_DIR) + "/../family/projects", tmp / "projects",
             fs::copy_options::recursive);
  }
  CFamilyWindow* Open() { return app->Commands()->OnFamilyOfCurves(tmp / "projects/curves"); }
  static QStringList Tests(CFamilyWindow* w) {
    QStringList shown;
    for (int row = 0; row < w->Table().rowCount(); ++row) {
      const QModelIndex i = w->Table().index(row, CFamilyTableModel::kTest);
      shown << (i.data().toString() +
                (i.data(Qt::CheckStateRole).toInt() == Qt::Checked ? "" : " (out)"));
    }
    return shown;
  }
};

TEST_F(FamilyWindow, LeavesTestsOutByKeyboardKeepsTheChoiceAndStartsAOnePointTest) {
  ASSERT_TRUE(Start());
  CFamilyWindow* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Tests(w), (QStringList{"12Lim.lng", "3Emb.lng", "5Sub.lng", "7Sub.lng"}));
  EXPECT_EQ(w->LeftOutLabel()->text(),
            "5 tests left out: 1 another standard, 1 another method, 1 without a usable fit, 1 "
            "one-point test, 1 could not be read");
  EXPECT_TRUE(w->ShortageLabel()->isHidden());

  // Space on the second row leaves 3Emb out; the family is short of a curve after 5Sub goes.
  auto* table = w->findChild<QTableView*>(QStringLiteral("familyTable"));
  ASSERT_NE(table, nullptr);
  table->setFocus();
  for (int row : {1, 2}) {
    table->setCurrentIndex(w->Table().index(row, CFamilyTableModel::kTest));
    QTest::keyClick(table, Qt::Key_Space);
  }
  EXPECT_EQ(w->CurrentFamily().members.size(), 2u);
  EXPECT_FALSE(w->ShortageLabel()->isHidden());
  EXPECT_EQ(w->ShortageLabel()->text(),
            "A family needs at least three curves of the same standard and method: 2 found.");
  EXPECT_FALSE(w->findChild<QPushButton*>(QStringLiteral("familyNewOnePoint"))->isEnabled());

  // Escape closes the window; the folder opens again with the same tests left out.
  QPointer<CFamilyWindow> closing = w;
  QTest::keyClick(table, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closing.isNull());
  w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Tests(w), (QStringList{"12Lim.lng", "3Emb.lng (out)", "5Sub.lng (out)", "7Sub.lng"}));
  EXPECT_EQ(w->LeftOutLabel()->text(),
            "7 tests left out: 2 unchecked, 1 another standard, 1 another method, 1 without a "
            "usable fit, 1 one-point test, 1 could not be read");

  // Checked again, the family is whole, and it starts a one-point test of its own.
  table = w->findChild<QTableView*>(QStringLiteral("familyTable"));
  table->setCurrentIndex(w->Table().index(1, CFamilyTableModel::kTest));
  QTest::keyClick(table, Qt::Key_Space);
  auto* onePoint = w->findChild<QPushButton*>(QStringLiteral("familyNewOnePoint"));
  ASSERT_TRUE(onePoint->isEnabled());
  onePoint->click();
  EXPECT_EQ(Record().m_strTestType, "One-Point");
  EXPECT_EQ(Record().m_ext.onePointFamily, "curves");
  EXPECT_EQ(Record().m_ext.standard, "AASHTO T 99");
  EXPECT_EQ(Record().m_ext.method, "");
}

// A test removed or added while the window is open shows on F5 and when the window becomes
// active again (back from the main window, where the test was saved), with the standard and
// method chosen kept.
TEST_F(FamilyWindow, ShowsTheFolderAsItIsNowOnF5AndWhenActiveAgain) {
  ASSERT_TRUE(Start());
  CFamilyWindow* w = Open();
  ASSERT_NE(w, nullptr);
  const fs::path folder = tmp / "projects/curves";
  fs::remove(folder / "3Emb.lng");
  auto* table = w->findChild<QTableView*>(QStringLiteral("familyTable"));
  ASSERT_NE(table, nullptr);
  QTest::keyClick(table, Qt::Key_F5);
  EXPECT_EQ(Tests(w), (QStringList{"12Lim.lng", "5Sub.lng", "7Sub.lng"}));

  fs::copy_file(folder / "7Sub.lng", folder / "8Sub.lng");
  QEvent away(QEvent::WindowDeactivate);
  QEvent back(QEvent::WindowActivate);
  QApplication::sendEvent(w, &away);
  QApplication::sendEvent(w, &back);
  QCoreApplication::processEvents();
  EXPECT_EQ(Tests(w), (QStringList{"12Lim.lng", "5Sub.lng", "7Sub.lng", "8Sub.lng"}));
  EXPECT_EQ(w->CurrentFamily().members.size(), 4u);
}

}  // namespace
