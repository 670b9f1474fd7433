// The main form at start-up and when tabs are switched.
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabBar>

#include "file/document_commands.h"
#include "support_qt/app_fixture.h"
#include "views/curve_graph.h"
#include "views/curve_page.h"
#include "views/long_test_page.h"
#include "views/project_info_page.h"
#include "views/project_tree.h"
#include "views/soil_method_page.h"
#include "views/test_data_page.h"

using MainView = AppFixture;

TEST_F(MainView, StartsOnProjectInformationWithTheOtherPagesHidden) {
  g_bTreeStartup = true;
  ASSERT_TRUE(Start());
  QTabWidget& tabs = View()->Tabs();
  ASSERT_EQ(tabs.count(), 5);
  EXPECT_EQ(tabs.tabText(0), "Project Information");
  EXPECT_EQ(tabs.tabText(1), "Test Data");
  EXPECT_EQ(tabs.tabText(2), "Moisture-density Curve");
  EXPECT_EQ(tabs.tabText(3), "Long Test Results");
  EXPECT_EQ(tabs.tabText(4), "Soil and Method");
  EXPECT_EQ(tabs.currentIndex(), 0);
  EXPECT_EQ(View()->GetCurrentPage(), View()->ProjectInfoPage());
  EXPECT_EQ(View()->ShownPage(), View()->ProjectInfoPage());
  EXPECT_TRUE(View()->ProjectInfoPage()->isVisible());
  EXPECT_FALSE(View()->TestDataPage()->isVisible());
  EXPECT_FALSE(View()->CurvePage()->isVisible());
  EXPECT_FALSE(View()->LongTestPage()->isVisible());
  EXPECT_FALSE(View()->SoilMethodPage()->isVisible());
  // The page has the focus: its first control, the Project edit.
  EXPECT_EQ(FocusWidget(), View()->ProjectInfoPage()->Control(CProjectInfoPage::IDC_PROJECT));
  EXPECT_TRUE(View()->Tree().isVisible());
  EXPECT_EQ(View()->Tree().topLevelItemCount(), 0);
  EXPECT_FALSE(View()->Tree().InStartup());
  EXPECT_FALSE(g_bTreeStartup);
}

TEST_F(MainView, TheWindowStandsAtTheTopLeftAt690By532) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->frameGeometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(Frame()->frameGeometry().size(), QSize(690, 532));
  EXPECT_EQ(Frame()->windowTitle(), "Untitled - Densora");
  // Whatever the user did to it, the next initial update puts it back.
  Frame()->setGeometry(200, 150, 900, 700);
  View()->OnInitialUpdate();
  EXPECT_EQ(Frame()->frameGeometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(Frame()->frameGeometry().size(), QSize(690, 532));
}

TEST_F(MainView, PagesLieInsideTheTabControlBelowTheTabs) {
  ASSERT_TRUE(Start());
  const QRect tabs = View()->Tabs().geometry();
  const int barBottom = tabs.top() + View()->Tabs().tabBar()->height();
  for (int i = 0; i < 5; ++i) {
    CTabPage* page = Page(i);
    const QRect r = page->geometry();
    EXPECT_TRUE(tabs.contains(r)) << i;
    EXPECT_GE(r.top(), barBottom) << i;
  }  // Every tab shows, with room for its whole title, without scrolling the tabs: at the
  // form's size, and where a wider font leaves the titles 20 pixels less room.
  QTabWidget& control = View()->Tabs();
  const QTabBar* bar = control.tabBar();
  for (int less : {0, 20}) {
    control.resize(tabs.width() - less, tabs.height());
    for (int i = 0; i < bar->count(); ++i) {
      const std::string title = bar->tabText(i).toStdString();
      EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << title << " " << less;
      EXPECT_GT(bar->tabRect(i).width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i)))
          << title << " " << less;
    }
  }
}

TEST_F(MainView, ClickingATabShowsOnlyItsPageRefreshedAndFocused) {
  ASSERT_TRUE(Start());
  // A value put into the record behind the page's back shows as the tab is selected.
  Record().Point(2).m_dMoldSoil = 6148.9;
  ClickTab(1);
  CTabPage* data = View()->TestDataPage();
  EXPECT_TRUE(data->isVisible());
  EXPECT_FALSE(View()->ProjectInfoPage()->isVisible());
  EXPECT_EQ(Ctl(data, CTestDataPage::MoldSoilId(3))->text(), "6148.9");
  EXPECT_EQ(Record().m_nPointCount, 1);
  EXPECT_EQ(FocusWidget(), data->Control(CTestDataPage::IDC_MOLD_WEIGHT));
  ClickTab(3);
  EXPECT_TRUE(View()->LongTestPage()->isVisible());
  EXPECT_FALSE(data->isVisible());
  EXPECT_EQ(FocusWidget(), View()->LongTestPage()->Control(CLongTestPage::IDC_DENSITY));
}

// However the keyboard brings the focus into a field, what the user types replaces the
// field's value: a tab changed by keyboard, the window active again after a message box. In
// the unit group the focus arrives at the checked button, so that Space keeps the units.
TEST_F(MainView, TheKeyboardFocusArrivesOnTheWholeValue) {
  ASSERT_TRUE(Start());
  Doc().m_nUnits = kMetric;
  Doc().UpdateAllViews(nullptr, 1);
  QTabBar* bar = View()->Tabs().tabBar();
  // Shift+Tab from the shown page's first field to the tabs, then Right to the next tab.
  const auto nextTabByKeyboard = [&] {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), bar);
    QTest::keyClick(bar, Qt::Key_Right);
  };
  nextTabByKeyboard();
  QLineEdit* moldWeight = Ctl(View()->TestDataPage(), CTestDataPage::IDC_MOLD_WEIGHT);
  ASSERT_EQ(QApplication::focusWidget(), moldWeight);
  QTest::keyClicks(moldWeight, "4250");
  EXPECT_EQ(moldWeight->text(), "4250");
  EXPECT_EQ(Record().m_dMoldWeight, 4250.0);

  nextTabByKeyboard();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_EQ(QApplication::focusWidget(), View()->CurvePage()->Control(CCurvePage::IDC_METRIC));
  EXPECT_EQ(Doc().m_nUnits, kMetric);

  nextTabByKeyboard();
  QLineEdit* density = Ctl(View()->LongTestPage(), CLongTestPage::IDC_DENSITY);
  ASSERT_EQ(QApplication::focusWidget(), density);
  QTest::keyClicks(density, "1754");
  EXPECT_EQ(density->text(), "1754");

  // A click puts the caret where the user pointed; a message box closing over the field
  // gives it back whole.
  ClickInto(density);
  ASSERT_TRUE(density->selectedText().isEmpty());
  QWidget box;
  box.show();
  QApplication::setActiveWindow(&box);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
  box.close();
  QApplication::setActiveWindow(Frame());
  ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
  EXPECT_EQ(QApplication::focusWidget(), density);
  EXPECT_EQ(density->selectedText(), "1754");
}

// The tab keys of every tabbed window change the tab wherever the focus is: in a field of the
// shown page, in the tree. They go round at the ends, and the new page takes the focus.
TEST_F(MainView, CtrlTabAndCtrlPageKeysChangeTheTab) {
  ASSERT_TRUE(Start());
  struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int tab;  // selected after the press
  };
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
  const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  for (const Press& p : {Press{Qt::Key_Tab, ctrl, 1}, Press{Qt::Key_PageDown, ctrl, 2},
                         Press{Qt::Key_PageUp, ctrl, 1}, Press{Qt::Key_Backtab, ctrlShift, 0},
                         Press{Qt::Key_Tab, ctrlShift, 4}, Press{Qt::Key_PageDown, ctrl, 0},
                         Press{Qt::Key_PageUp, ctrl, 4}}) {
    QWidget* from = QApplication::focusWidget();
    ASSERT_NE(from, nullptr);
    QTest::keyClick(from, p.key, p.modifiers);
    EXPECT_EQ(View()->Tabs().currentIndex(), p.tab)
        << QKeySequence(p.key | p.modifiers).toString().toStdString();
    EXPECT_TRUE(View()->GetCurrentPage()->isAncestorOf(QApplication::focusWidget()));
  }
  View()->Tree().setFocus(Qt::OtherFocusReason);
  QTest::keyClick(&View()->Tree(), Qt::Key_Tab, ctrl);
  EXPECT_EQ(View()->Tabs().currentIndex(), 0);
}

TEST_F(MainView, SelectingTheCurveTabAfterAnEditShowsTheNewCurve) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  ClickTab(2);
  const double before = Record().m_dMaxDryDensity;
  EXPECT_GT(before, 100.0);
  ClickTab(1);
  TypeOver(Ctl(View()->TestDataPage(), CTestDataPage::MoldSoilId(3)), QStringLiteral("6200"));
  ClickTab(2);
  EXPECT_TRUE(View()->CurvePage()->isVisible());
  EXPECT_GT(Record().m_dMaxDryDensity, before + 1.0);
}

TEST_F(MainView, AnUpdateRefreshesEveryPageInTabOrder) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  Record().m_dMaxDryDensity = -1.0;
  Doc().UpdateAllViews(nullptr, 0);
  // The curve page refitted before the long test page rated against the fit.
  EXPECT_GT(Record().m_dMaxDryDensity, 100.0);
  auto* rating = Ctl(View()->LongTestPage(), CLongTestPage::IDC_DENSITY_RATING);
  EXPECT_FALSE(rating->text().isEmpty());
  EXPECT_EQ(Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT)->text(), "MAIN ST");
  EXPECT_EQ(Ctl(View()->TestDataPage(), CTestDataPage::WetId(1))->text(), "212.6");
}

TEST_F(MainView, HintOneLeavesTheTreeAndOtherHintsRebuildIt) {
  ASSERT_TRUE(Start());
  int rebuilt = 0;
  View()->Tree().SetRefresher([&](CProjectTree&) { ++rebuilt; });
  Doc().UpdateAllViews(nullptr, 1);
  EXPECT_EQ(rebuilt, 0);
  Doc().UpdateAllViews(nullptr, 0);
  EXPECT_EQ(rebuilt, 1);
  View()->OnInitialUpdate();
  EXPECT_EQ(rebuilt, 2);  // once, at its end: the folders are read once per update
}

TEST_F(MainView, ControlsAreFoundByTheirTemplateIds) {
  ASSERT_TRUE(Start());
  EXPECT_NE(dlg::FindControl(View(), 1000), nullptr);
  EXPECT_NE(dlg::FindControl(View(), 1001), nullptr);
  EXPECT_NE(dlg::FindControlAs<QLineEdit>(View()->TestDataPage(), 1010), nullptr);
  EXPECT_NE(dlg::FindControlAs<QRadioButton>(View()->CurvePage(), 1020), nullptr);
  EXPECT_NE(dlg::FindControlAs<CCurveGraph>(View()->CurvePage(), 1005), nullptr);
  EXPECT_NE(dlg::FindControlAs<QLabel>(View()->LongTestPage(), 1006), nullptr);
}

TEST_F(MainView, LabelsAreNotCutAndDoNotRunIntoTheirFields) {
  ASSERT_TRUE(Start());
  for (int i = 0; i < 5; ++i) {
    CTabPage* page = Page(i);
    const auto labels = page->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel* l : labels) {
      if (l->wordWrap()) continue;
      EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
      EXPECT_TRUE(page->rect().contains(l->geometry())) << l->text().toStdString();
    }
    for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      EXPECT_TRUE(page->rect().contains(w->geometry()))
          << page->objectName().toStdString() << " " << w->objectName().toStdString() << " "
          << w->metaObject()->className();
    }
    // Every one-line text ends a few pixels before the next control on its row, inside its
    // own control (a radio button's text begins after its circle).
    for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      QString text;
      int start = 0;
      if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap()) {
        text = l->text().trimmed();
      } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
        text = r->text();
        QStyleOptionButton opt;
        opt.initFrom(r);
        opt.text = text;
        opt.rect = r->rect();
        start = r->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, r).left();
      }
      if (text.isEmpty()) continue;
      const int end = w->x() + start + w->fontMetrics().horizontalAdvance(text);
      EXPECT_LE(end, w->geometry().right() + 1) << text.toStdString() << " is cut";
      for (QWidget* o : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const bool sameRow = o->y() <= w->geometry().bottom() && o->geometry().bottom() >= w->y();
        if (o == w || !sameRow || o->x() <= w->x()) continue;
        EXPECT_LE(w->geometry().right(), o->x() - 1) << text.toStdString();
        EXPECT_GE(o->x() - end, 4)
            << text.toStdString() << " runs up to " << o->metaObject()->className();
      }
    }
  }
}

// Tab goes round the form through the tree, the tabs and the shown page's fields, each once
// and in the template's order: the date picker is one stop, and nothing without a visible
// focus (the area that holds the form) takes the keys in between.
TEST_F(MainView, TabVisitsEachFieldOnceAndNothingElse) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());  // weights in order: no warning moves the focus
  Record().Point(5).m_dMoldSoil = 6000.0;
  Record().Point(5).m_dWetSample = 250.0;
  Record().Point(5).m_dDrySample = 220.0;
  Doc().UpdateAllViews(nullptr, 0);
  const std::vector<std::vector<int>> stops{
      {1001, 1016, 1023, 1003, 1002, 1004, 1009, 1026, 1012},
      {1001, 1004, 1010, 1016, 1005, 1011, 1017, 1006, 1012, 1018,
       1007, 1013, 1019, 1008, 1014, 1020, 1009, 1015, 1021, 1024},
      {1019},
      {1003, 1004},
      {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010},
  };
  for (int i = 0; i < 5; ++i) {
    CTabPage* page = Page(i);
    page->Control(stops[i].front())->setFocus(Qt::OtherFocusReason);
    std::vector<int> visited{stops[i].front()};
    for (std::size_t k = 0; k < stops[i].size() + 2; ++k) {
      QWidget* from = QApplication::focusWidget();
      ASSERT_NE(from, nullptr);
      QTest::keyClick(from, Qt::Key_Tab);
      QWidget* at = QApplication::focusWidget();
      ASSERT_NE(at, nullptr);
      if (at == &View()->Tree() || at == View()->Tabs().tabBar()) continue;
      ASSERT_TRUE(page->isAncestorOf(at))
          << "page " << i << ": Tab reached " << at->metaObject()->className() << " "
          << at->objectName().toStdString();
      visited.push_back(at->property("controlId").toInt());
    }
    visited.resize(stops[i].size());
    EXPECT_EQ(visited, stops[i]) << "page " << i;
  }
  // Inside the date picker Left and Right go from month to day to year and back.
  auto* date = Ctl<QDateEdit>(Page(0), CProjectInfoPage::IDC_DATE);
  date->setFocus(Qt::TabFocusReason);
  std::vector<QDateTimeEdit::Section> sections;
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) {
    QTest::keyClick(date, key);
    sections.push_back(date->currentSection());
  }
  EXPECT_EQ(sections, (std::vector<QDateTimeEdit::Section>{
                          QDateTimeEdit::DaySection, QDateTimeEdit::YearSection,
                          QDateTimeEdit::YearSection, QDateTimeEdit::DaySection}));
  EXPECT_EQ(date->findChild<QLineEdit*>()->selectedText(),
            date->sectionText(QDateTimeEdit::DaySection));
}
