// The Project Information page: typing, the lists, the date and Clear Entries.
#include "views/project_info_page.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QWheelEvent>

#include "framework/qt/dialog_units.h"
#include "model/page_rules.h"
#include "support_qt/app_fixture.h"
#include "support_qt/type_text.h"
#include "views/form_controls.h"

namespace {
pages::CalendarDay FixedToday() { return {2026, 3, 14}; }
}  // namespace

class ProjectInfoPage : public AppFixture {
 protected:
  void SetUp() override {
    pages::SetClock(&FixedToday);
    ASSERT_TRUE(Start());
    page = View()->ProjectInfoPage();
  }
  void TearDown() override {
    AppFixture::TearDown();
    pages::SetClock(nullptr);
  }
  QComboBox* List(int id) const { return page->ControlAs<QComboBox>(id); }
  QDateEdit* Picker() const { return page->ControlAs<QDateEdit>(CProjectInfoPage::IDC_DATE); }

  CProjectInfoPage* page = nullptr;
};

TEST_F(ProjectInfoPage, TypedTextReachesTheRecordAndMarksTheDocument) {
  EXPECT_FALSE(Doc().IsModified());
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_PROJECT), "main st");
  EXPECT_EQ(Ctl(page, CProjectInfoPage::IDC_PROJECT)->text(), "MAIN ST");
  EXPECT_EQ(Record().m_strProject, "MAIN ST");
  EXPECT_TRUE(Doc().IsModified());
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_TIP_NO), "a-100");
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_TEST_NO), "7b");
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_STATION), "12+50 rt");
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_TESTED_BY), "J. Ortiz");
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_COMMENTS), "Brown clay");
  EXPECT_EQ(Record().m_strTipNo, "A-100");
  EXPECT_EQ(Record().m_strTestNo, "7B");
  // Station, Tested by and Comments keep the case typed.
  EXPECT_EQ(Record().m_strStation, "12+50 rt");
  EXPECT_EQ(Record().m_strTestedBy, "J. Ortiz");
  EXPECT_EQ(Record().m_strComments, "Brown clay");
}

TEST_F(ProjectInfoPage, TextsAreKeptInTheCodePage) {
  TypeText(Ctl(page, CProjectInfoPage::IDC_COMMENTS), QStringLiteral("caf\u00E9 \u00B7 \u0100x"));
  EXPECT_EQ(Ctl(page, CProjectInfoPage::IDC_COMMENTS)->text(),
            QStringLiteral("caf\u00E9 \u00B7 x"));
  EXPECT_EQ(Record().m_strComments, "caf\xE9 \xB7 x");
}

TEST_F(ProjectInfoPage, ListsHoldTheTestTypesAndTheShippedCounties) {
  QComboBox* types = List(CProjectInfoPage::IDC_TEST_TYPE);
  ASSERT_EQ(types->count(), 5);
  EXPECT_EQ(types->itemText(0), "Cement");
  EXPECT_EQ(types->itemText(1), "Curve (no long test)");
  EXPECT_EQ(types->itemText(4), "Subgrade");
  EXPECT_EQ(List(CProjectInfoPage::IDC_COUNTY)->count(), 102);
  EXPECT_EQ(types->currentIndex(), -1);
}

TEST_F(ProjectInfoPage, SelectingAListItemStoresItsText) {
  QComboBox* types = List(CProjectInfoPage::IDC_TEST_TYPE);
  types->setCurrentIndex(3);
  emit types->activated(3);
  EXPECT_EQ(Record().m_strTestType, "Lime");
  EXPECT_TRUE(Doc().IsModified());
  QComboBox* counties = List(CProjectInfoPage::IDC_COUNTY);
  counties->setCurrentIndex(0);
  emit counties->activated(0);
  EXPECT_EQ(Record().m_strCounty, counties->itemText(0).toStdString());
}

// Rolling the wheel over a list or the date on the way down the form changes nothing; with
// the focus in them it steps them as usual.
TEST_F(ProjectInfoPage, TheWheelChangesAListOrTheDateOnlyWithTheFocus) {
  auto roll = [](QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
  };
  QComboBox* county = List(CProjectInfoPage::IDC_COUNTY);
  QComboBox* type = List(CProjectInfoPage::IDC_TEST_TYPE);
  Ctl(page, CProjectInfoPage::IDC_PROJECT)->setFocus();
  const QDate date = Picker()->date();
  for (QWidget* w : std::initializer_list<QWidget*>{county, type, Picker()}) roll(w);
  EXPECT_EQ(county->currentIndex(), -1);
  EXPECT_EQ(type->currentIndex(), -1);
  EXPECT_EQ(Picker()->date(), date);
  EXPECT_TRUE(Record().m_strCounty.empty());
  EXPECT_TRUE(Record().m_strTestType.empty());
  EXPECT_FALSE(Doc().IsModified());

  type->setFocus();
  roll(type);
  EXPECT_NE(type->currentIndex(), -1);
}

TEST_F(ProjectInfoPage, ATestTypeInOtherCaseSelectsTheListItem) {
  Record().m_strTestType = "lime";
  page->RefreshPage();
  EXPECT_EQ(List(CProjectInfoPage::IDC_TEST_TYPE)->currentText(), "Lime");
  EXPECT_EQ(Record().m_strTestType, "lime");
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_STATION), "1");
  EXPECT_EQ(Record().m_strTestType, "Lime");
}

TEST_F(ProjectInfoPage, ACountyNotInTheListIsShownAndKept) {
  Record().m_strCounty = "Nowhere Parish";
  Record().m_strTestType = "Sand cone";
  page->RefreshPage();
  EXPECT_EQ(List(CProjectInfoPage::IDC_COUNTY)->currentText(), "Nowhere Parish");
  EXPECT_EQ(List(CProjectInfoPage::IDC_TEST_TYPE)->currentText(), "Sand cone");
  // Editing another field reads the whole page: the texts stay as they were.
  QTest::keyClicks(Ctl(page, CProjectInfoPage::IDC_STATION), "9");
  EXPECT_EQ(Record().m_strCounty, "Nowhere Parish");
  EXPECT_EQ(Record().m_strTestType, "Sand cone");
  // The next record's texts replace the extra item.
  Record().m_strCounty.clear();
  Record().m_strTestType = "Embankment";
  page->RefreshPage();
  EXPECT_EQ(List(CProjectInfoPage::IDC_COUNTY)->count(), 102);
  EXPECT_EQ(List(CProjectInfoPage::IDC_COUNTY)->currentIndex(), -1);
  EXPECT_EQ(List(CProjectInfoPage::IDC_TEST_TYPE)->count(), 5);
}

// A new test starts today, whatever date the last one showed: File New, a folder chosen in
// the tree and a file without a date all take today's date, and the picker shows it.
TEST_F(ProjectInfoPage, ANewRecordStartsTodayWithoutBeingModified) {
  EXPECT_EQ(Record().m_strDate, "03/14/2026");
  EXPECT_FALSE(Doc().IsModified());
  Picker()->setDate(QDate(2025, 1, 2));  // the user picks another date
  EXPECT_EQ(Record().m_strDate, "01/02/2025");
  EXPECT_TRUE(Doc().IsModified());
  Doc().OnNewDocument();
  EXPECT_EQ(Record().m_strDate, "03/14/2026");
  EXPECT_EQ(Picker()->date(), QDate(2026, 3, 14));
  EXPECT_FALSE(Doc().IsModified());

  Record().m_strDate = "05/09/2003";  // an old test on screen
  page->RefreshPage();
  Record().m_strDate.clear();  // cleared, as by a folder chosen in the tree
  page->RefreshPage();
  EXPECT_EQ(Record().m_strDate, "03/14/2026");
  EXPECT_EQ(Picker()->date(), QDate(2026, 3, 14));
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ProjectInfoPage, ARecordsDateIsShownAndKept) {
  Record().m_strDate = "05/09/2003";
  page->RefreshPage();
  EXPECT_EQ(Picker()->date(), QDate(2003, 5, 9));
  EXPECT_EQ(Record().m_strDate, "05/09/2003");
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ProjectInfoPage, ADateTextFromAFileIsNeverRewritten) {
  Record().m_strDate = "05/09/2003";
  page->RefreshPage();
  // A text the picker cannot show leaves the picker alone and the text as it was.
  Record().m_strDate = "no date";
  page->RefreshPage();
  EXPECT_EQ(Picker()->date(), QDate(2003, 5, 9));
  EXPECT_EQ(Record().m_strDate, "no date");
  // Month 13 is normalised for showing; the record keeps what was written.
  Record().m_strDate = "13/01/2003";
  page->RefreshPage();
  EXPECT_EQ(Picker()->date(), QDate(2004, 1, 1));
  EXPECT_EQ(Record().m_strDate, "13/01/2003");
  // Day 0 of May is the last of April; a one-digit month still reads.
  Record().m_strDate = "5/9/2003";
  page->RefreshPage();
  EXPECT_EQ(Picker()->date(), QDate(2003, 4, 30));
  EXPECT_EQ(Record().m_strDate, "5/9/2003");
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ProjectInfoPage, ClearEntriesEmptiesEverythingAndPutsTheFocusInProject) {
  testdata::FillTypicalRecord(Doc());
  page->RefreshPage();
  Doc().SetModifiedFlag(false);
  Picker()->setDate(QDate(2001, 1, 1));
  QTest::mouseClick(page->ControlAs<QPushButton>(CProjectInfoPage::IDC_CLEAR), Qt::LeftButton);
  const CompactionRecord& r = Record();
  EXPECT_TRUE(r.m_strProject.empty() && r.m_strTipNo.empty() && r.m_strCounty.empty() &&
              r.m_strStation.empty() && r.m_strTestNo.empty() && r.m_strTestType.empty() &&
              r.m_strTestedBy.empty() && r.m_strComments.empty());
  EXPECT_EQ(r.m_strDate, "03/14/2026");
  EXPECT_EQ(Picker()->date(), QDate(2026, 3, 14));
  EXPECT_EQ(List(CProjectInfoPage::IDC_TEST_TYPE)->currentIndex(), -1);
  EXPECT_EQ(List(CProjectInfoPage::IDC_COUNTY)->currentIndex(), -1);
  EXPECT_EQ(FocusWidget(), page->Control(CProjectInfoPage::IDC_PROJECT));
  EXPECT_TRUE(Doc().IsModified());
  // The weights belong to the other page.
  EXPECT_EQ(r.m_dMoldWeight, 4250.0);
}

TEST_F(ProjectInfoPage, ClearEntriesIsNotATabStop) {
  EXPECT_EQ(page->Control(CProjectInfoPage::IDC_CLEAR)->focusPolicy(), Qt::ClickFocus);
}

// A list keeps its template width: closed, a long item shows its beginning with "…" and
// the whole text as the tooltip; opened, every item shows whole.
TEST_F(ProjectInfoPage, ALongListItemIsElidedClosedAndWholeWhenOpened) {
  auto* types = static_cast<dlg::DropList*>(List(CProjectInfoPage::IDC_TEST_TYPE));
  types->setCurrentIndex(types->findText("Subgrade"));
  EXPECT_EQ(types->ShownText(), "Subgrade");
  EXPECT_TRUE(types->toolTip().isEmpty());
  types->setCurrentIndex(types->findText("Curve (no long test)"));
  EXPECT_TRUE(types->ShownText().startsWith("Curve (no")) << types->ShownText().toStdString();
  EXPECT_TRUE(types->ShownText().endsWith(QChar(0x2026)));
  EXPECT_EQ(types->toolTip(), "Curve (no long test)");
  EXPECT_EQ(types->width(), framework::DialogUnits(page->font()).Rect(209, 69, 69, 14).width());

  types->showPopup();
  QAbstractItemView* list = types->view();
  const QModelIndex item = list->model()->index(types->findText("Curve (no long test)"), 0);
  EXPECT_GE(list->visualRect(item).width(),
            list->fontMetrics().horizontalAdvance("Curve (no long test)") + 8);
  types->hidePopup();
}
