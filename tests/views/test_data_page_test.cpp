// The Test Data page: weights into the record, the 300 g offer, the weight-order warnings,
// the number check, Clear Entries and a point left out of the fit.
#include "views/test_data_page.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "framework/qt/qt_prompt.h"
#include "model/messages.h"
#include "model/page_rules.h"
#include "support_qt/app_fixture.h"
#include "views/curve_graph.h"
#include "views/curve_page.h"
#include "views/exclusion_dlg.h"

class TestDataPage : public AppFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Start());
    ClickTab(1);
    page = View()->TestDataPage();
    ASSERT_TRUE(page->isVisible());
  }
  QLineEdit* Edit(int id) const { return page->ControlAs<QLineEdit>(id); }
  QLineEdit* Wet(int row) const { return Edit(CTestDataPage::WetId(row)); }
  QLineEdit* Dry(int row) const { return Edit(CTestDataPage::DryId(row)); }
  QLineEdit* MoldSoil(int row) const { return Edit(CTestDataPage::MoldSoilId(row)); }
  // Tab from one field into the next in the tab order.
  void TabFrom(QLineEdit* edit) {
    edit->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
  }

  CTestDataPage* page = nullptr;
};

TEST_F(TestDataPage, TypedWeightsReachTheRecord) {
  TypeOver(MoldSoil(2), "6105.2");
  EXPECT_EQ(Record().Point(1).m_dMoldSoil, 6105.2);
  EXPECT_TRUE(Doc().IsModified());
  // Negative numbers are taken (pasted: a lone "-" typed first is not yet a number).
  Dry(6)->selectAll();
  Dry(6)->insert("-3.5");
  EXPECT_EQ(Record().Point(5).m_dDrySample, -3.5);
}

TEST_F(TestDataPage, TheMoldWeightIsStoredOnEachChange) {
  TypeOver(Edit(CTestDataPage::IDC_MOLD_WEIGHT), "4250");
  EXPECT_EQ(Record().m_dMoldWeight, 4250.0);
  EXPECT_TRUE(Doc().IsModified());
  // A refresh shows the stored weight, not an older one.
  page->RefreshPage();
  EXPECT_EQ(Edit(CTestDataPage::IDC_MOLD_WEIGHT)->text(), "4250");
}

TEST_F(TestDataPage, TheMoldVolumeIsReadOnlyAndReadBackAsShown) {
  QLineEdit* volume = Edit(CTestDataPage::IDC_MOLD_VOLUME);
  EXPECT_EQ(volume->text(), "0.0333333333333333");
  EXPECT_TRUE(volume->isReadOnly());
  // Too long for the field: the whole value is its tooltip; a value that fits needs none.
  EXPECT_EQ(volume->toolTip(), "0.0333333333333333");
  EXPECT_EQ(Record().m_dMoldVolume, 1.0 / 30.0);
  TypeOver(Wet(1), "250");
  EXPECT_EQ(Record().m_dMoldVolume, 0.0333333333333333);
  EXPECT_NE(Record().m_dMoldVolume, 1.0 / 30.0);
}

TEST_F(TestDataPage, EnteringAnEmptyWetSampleOffers300SelectedInRowOne) {
  TabFrom(MoldSoil(1));  // mold+soil 1, then wet 1
  ASSERT_EQ(FocusWidget(), Wet(1));
  EXPECT_EQ(Wet(1)->text(), "300");
  EXPECT_EQ(Wet(1)->selectedText(), "300");
  EXPECT_EQ(Record().Point(0).m_dWetSample, 300.0);
  EXPECT_TRUE(Doc().IsModified());
  // Typing replaces the selected offer.
  QTest::keyClicks(Wet(1), "212.6");
  EXPECT_EQ(Record().Point(0).m_dWetSample, 212.6);
}

TEST_F(TestDataPage, AWetSampleAlreadyAt300IsOfferedAgainAndMarksTheDocument) {
  Record().Point(1).m_dWetSample = 300.0;
  page->RefreshPage();
  Doc().SetModifiedFlag(false);
  ClickInto(Wet(2));
  EXPECT_EQ(Wet(2)->text(), "300");
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(TestDataPage, AStoredWetSampleIsNotReplaced) {
  Record().Point(2).m_dWetSample = 231.4;
  Record().Point(2).m_dMoldSoil = 6148.9;
  page->RefreshPage();
  Doc().SetModifiedFlag(false);
  ClickInto(Wet(3));
  EXPECT_EQ(Wet(3)->text(), "231.4");
  EXPECT_EQ(Record().Point(2).m_dWetSample, 231.4);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(TestDataPage, TheProgramMovingTheFocusMakesNoOffer) {
  Wet(4)->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(Wet(4)->text(), "0");
  EXPECT_EQ(Record().Point(3).m_dWetSample, 0.0);
}

TEST_F(TestDataPage, ADryWeightAboveTheWetWarnsAndReturnsToTheDryField) {
  Record().Point(3).m_dMoldSoil = 6131.7;
  Record().Point(3).m_dWetSample = 240.8;
  page->RefreshPage();
  TypeOver(Dry(4), "250");
  TabFrom(Dry(4));
  ASSERT_EQ(prompt.Texts(), std::vector<std::string>{msg::kDryOverWet});
  EXPECT_EQ(prompt.shown[0].icon, framework::MsgIcon::None);
  EXPECT_EQ(FocusWidget(), Dry(4));
  EXPECT_EQ(Dry(4)->selectedText(), "250");
  // Only a warning: the value stays.
  EXPECT_EQ(Record().Point(3).m_dDrySample, 250.0);
}

TEST_F(TestDataPage, EqualWeightsPassWithoutAWarning) {
  Record().Point(0).m_dMoldSoil = 250.0;
  Record().Point(0).m_dWetSample = 250.0;
  page->RefreshPage();
  TypeOver(Dry(1), "250");
  TabFrom(Dry(1));
  ClickInto(Wet(1));
  TabFrom(Wet(1));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TestDataPage, AWetWeightAboveTheMoldAndSoilWarnsAndGoesToMoldAndSoil) {
  Record().Point(1).m_dMoldSoil = 200.0;
  page->RefreshPage();
  TypeOver(Wet(2), "220.3");
  TabFrom(Wet(2));
  ASSERT_EQ(prompt.Texts(), std::vector<std::string>{msg::kWetOverMoldSoil});
  EXPECT_EQ(FocusWidget(), MoldSoil(2));
  EXPECT_EQ(MoldSoil(2)->selectedText(), "200");
  EXPECT_EQ(Record().Point(1).m_dWetSample, 220.3);
}

TEST_F(TestDataPage, ANonNumberStopsTheReadingAtTheFirstFailingField) {
  testdata::FillTypicalRecord(Doc());
  page->RefreshPage();
  // Dry 2 holds text that is not a number; the next change reads the page in its order:
  // wet 1–6, dry 1–6, mold+soil 1–6, mold weight.
  Dry(2)->setText("12x");
  Edit(CTestDataPage::IDC_MOLD_WEIGHT)->setText("4300");
  MoldSoil(1)->setText("6000");
  Wet(3)->selectAll();
  Wet(3)->insert("233");
  ASSERT_EQ(prompt.Texts(), std::vector<std::string>{framework::stock::kEnterNumber});
  EXPECT_EQ(prompt.shown[0].icon, framework::MsgIcon::Exclamation);
  EXPECT_EQ(FocusWidget(), Dry(2));
  EXPECT_EQ(Dry(2)->selectedText(), "12x");
  EXPECT_EQ(Record().Point(2).m_dWetSample, 233.0);  // before the failing field: stored
  EXPECT_EQ(Record().Point(0).m_dDrySample, 195.0);
  EXPECT_EQ(Record().Point(1).m_dDrySample, 198.9);  // the failing field keeps its value
  EXPECT_EQ(Record().Point(0).m_dMoldSoil, 6020.4);  // after it: not stored
  EXPECT_EQ(Record().m_dMoldWeight, 4250.0);
}

TEST_F(TestDataPage, DeletingAWeightAsksForANumberAtOnce) {
  TypeOver(MoldSoil(5), "");
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{framework::stock::kEnterNumber});
  EXPECT_EQ(FocusWidget(), MoldSoil(5));
}

TEST_F(TestDataPage, FortyDigitsAreRefusedRatherThanCut) {
  TypeOver(MoldSoil(1), "1234567890123456789012345678901234567890");
  EXPECT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text, framework::stock::kEnterNumber);
  EXPECT_LT(Record().Point(0).m_dMoldSoil, 1e30);
}

TEST_F(TestDataPage, ClearEntriesZeroesEveryWeightButTheVolume) {
  testdata::FillTypicalRecord(Doc());
  Record().m_dMoldVolume = 0.0334;
  Record().m_ext.excluded[1] = "mold not seated";  // goes with its weights
  page->RefreshPage();
  Doc().SetModifiedFlag(false);
  QTest::mouseClick(page->ControlAs<QPushButton>(CTestDataPage::IDC_CLEAR), Qt::LeftButton);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(Record().m_ext.Empty());
  EXPECT_EQ(Record().m_dMoldWeight, 0.0);
  for (int slot = 0; slot < kPointSlots; ++slot) EXPECT_TRUE(Record().Point(slot).IsEmpty());
  EXPECT_EQ(Record().m_nPointCount, 0);
  EXPECT_EQ(Record().m_dMoldVolume, 0.0334);
  EXPECT_EQ(Wet(1)->text(), "0.0");
  EXPECT_EQ(Edit(CTestDataPage::IDC_MOLD_VOLUME)->text(), "0.0334");
  EXPECT_TRUE(Edit(CTestDataPage::IDC_MOLD_VOLUME)->toolTip().isEmpty());
  EXPECT_EQ(FocusWidget(), Edit(CTestDataPage::IDC_MOLD_WEIGHT));
  EXPECT_EQ(Edit(CTestDataPage::IDC_MOLD_WEIGHT)->selectedText(), "0.0");
  EXPECT_TRUE(Doc().IsModified());
  page->RefreshPage();
  EXPECT_EQ(Wet(1)->text(), "0");
}

TEST_F(TestDataPage, TabGoesRowByRow) {
  Record().Point(0).m_dMoldSoil = 6000;
  Record().Point(1).m_dMoldSoil = 6000;
  page->RefreshPage();
  Edit(CTestDataPage::IDC_MOLD_WEIGHT)->setFocus(Qt::OtherFocusReason);
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(FocusWidget(), Qt::Key_Tab);
    order.push_back(FocusWidget()->property("controlId").toInt());
  }
  EXPECT_EQ(order, (std::vector<int>{1004, 1010, 1016, 1005, 1011}));
}

// A real message box takes the focus from the main window and gives it back when it closes;
// the field it sends the user back to must still have its whole text selected, so that the
// next digit typed replaces the wrong weight instead of being appended to it.
TEST_F(TestDataPage, AfterARealWarningBoxTypingReplacesTheDryWeight) {
  framework::QtPrompt real(Frame());
  framework::SetPrompt(&real);
  Record().Point(3).m_dMoldSoil = 6131.7;
  Record().Point(3).m_dWetSample = 240.8;
  page->RefreshPage();
  TypeOver(Dry(4), "250");
  bool boxShown = false;
  QTimer::singleShot(0, [&boxShown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    boxShown = box->text() == QString::fromLatin1(msg::kDryOverWet);
    QTest::keyClick(box, Qt::Key_Return);
  });
  TabFrom(Dry(4));
  framework::SetPrompt(&prompt);
  ASSERT_TRUE(boxShown);
  // The window manager gives the main window back its activation once the box is gone.
  Frame()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
  QCoreApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), Dry(4));
  EXPECT_EQ(Dry(4)->selectedText(), "250");
  QTest::keyClicks(FocusWidget(), "9");
  EXPECT_EQ(Dry(4)->text(), "9");
}

// A point is left out of the fit from its row, by the keyboard: the context-menu key opens the
// row's menu after the field's own entries, "Exclude from Fit…" asks why and takes no blank
// reason; the row is then greyed with its reason as the tip, its weights kept, the fit left
// without it, the document modified. Ctrl+Shift+X in any field of the row takes it back, and a
// row with no point offers nothing to leave out.
TEST_F(TestDataPage, APointIsLeftOutOfTheFitWithItsReasonAndTakenBack) {
  testdata::FillTypicalRecord(Doc());
  page->RefreshPage();
  Doc().SetModifiedFlag(false);
  const QColor normal = Wet(3)->palette().color(QPalette::Text);
  // The menu's entries and the dialog, as they come.
  QStringList entries;
  bool blankRefused = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator() && a->isVisible()) entries << a->text();
    }
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<CExclusionDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dlg, nullptr);
      QTest::keyClicks(dlg->Edit(), "   ");
      QTest::keyClick(dlg->Edit(), Qt::Key_Return);
      blankRefused = dlg->isVisible() && !dlg->OkButton()->isEnabled();
      QTest::keyClicks(dlg->Edit(), "mold not seated");
      EXPECT_TRUE(dlg->OkButton()->isEnabled());
      QTest::keyClick(dlg->Edit(), Qt::Key_Return);
    });
    QTest::keyClick(menu, Qt::Key_E);
  });
  Wet(3)->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(Wet(3), Qt::Key_Menu);
  ASSERT_FALSE(entries.isEmpty());
  EXPECT_EQ(entries.last(), QString::fromUtf8("&Exclude from Fit\u2026"));
  EXPECT_GT(entries.size(), 1);  // the field's own Copy, Paste, … come first
  EXPECT_TRUE(blankRefused);
  EXPECT_EQ(Record().m_ext.excluded[2], "mold not seated");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Record().Point(2).m_dWetSample, 231.4);
  for (QLineEdit* e : {MoldSoil(3), Wet(3), Dry(3)}) {
    EXPECT_NE(e->palette().color(QPalette::Text), normal);
    EXPECT_EQ(e->toolTip(), "Left out of the fit: mold not seated");
  }
  EXPECT_EQ(Wet(2)->palette().color(QPalette::Text), normal);
  ClickTab(2);
  EXPECT_EQ(View()->CurvePage()->Graph().Curve().m_nPointCount, 4);
  ClickTab(1);

  QTest::keyClick(MoldSoil(3), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Record().m_ext.excluded[2].empty());
  EXPECT_EQ(Wet(3)->palette().color(QPalette::Text), normal);
  EXPECT_TRUE(Wet(3)->toolTip().isEmpty());

  // Row 6 holds no point: its entry is there but cannot be chosen.
  bool disabled = false;
  QTimer::singleShot(0, [&disabled] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    auto* action = menu->findChild<QAction*>(QStringLiteral("rowFitAction"));
    disabled = action != nullptr && !action->isEnabled();
    menu->close();
  });
  Dry(6)->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(Dry(6), Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_TRUE(disabled);
  QTest::keyClick(Dry(6), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Record().m_ext.excluded[5].empty());

  // A reason a file kept for that empty row does not leave out the point typed into it.
  Record().m_ext.excluded[5] = "mold not seated";
  page->RefreshPage();
  QTest::keyClicks(MoldSoil(6), "6000");
  EXPECT_FALSE(Record().Point(5).IsEmpty());
  EXPECT_TRUE(Record().m_ext.excluded[5].empty());
}
