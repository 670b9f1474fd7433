// The Long Test Results page: the two values, their digit check, the unit and the ratings.
#include "views/long_test_page.h"

#include <QLabel>
#include <QRadioButton>
#include <limits>

#include "model/long_test.h"
#include "model/messages.h"
#include "model/page_rules.h"
#include "support_qt/app_fixture.h"
#include "views/curve_page.h"

class LongTestPage : public AppFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Start());
    testdata::FillTypicalRecord(Doc());
    Doc().UpdateAllViews(nullptr, 1);
    ClickTab(3);
    page = View()->LongTestPage();
    Doc().SetModifiedFlag(false);
  }
  QLineEdit* Density() const { return Ctl(page, CLongTestPage::IDC_DENSITY); }
  QLineEdit* Moisture() const { return Ctl(page, CLongTestPage::IDC_MOISTURE); }
  QString DensityRating() const { return Ctl(page, CLongTestPage::IDC_DENSITY_RATING)->text(); }
  QString MoistureRating() const { return Ctl(page, CLongTestPage::IDC_MOISTURE_RATING)->text(); }
  void SwitchUnits(int units) {
    ClickTab(2);
    QTest::mouseClick(View()->CurvePage()->ControlAs<QRadioButton>(
                          units == kMetric ? CCurvePage::IDC_METRIC : CCurvePage::IDC_ENGLISH),
                      Qt::LeftButton);
    ClickTab(3);
  }

  CLongTestPage* page = nullptr;
};

TEST_F(LongTestPage, ShowsTheValuesAndTheirRatings) {
  EXPECT_EQ(Density()->text(), "109.50");
  EXPECT_EQ(Moisture()->text(), "11.8");
  const std::string expected = RateLongTest(Doc(), Record().m_dMaxDryDensity, 109.5, true);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(DensityRating().toStdString(), expected);
  EXPECT_FALSE(MoistureRating().isEmpty());
  EXPECT_TRUE(page->Control(CLongTestPage::IDC_UNIT_PCF)->isVisible());
  EXPECT_FALSE(page->Control(CLongTestPage::IDC_UNIT_METRIC)->isVisible());
}

// A damaged file's NaN or infinity shows as a blank, with no rating.
TEST_F(LongTestPage, ANonFiniteValueShowsBlankWithoutARating) {
  Record().m_dLongTestDensity = std::numeric_limits<double>::quiet_NaN();
  Record().m_dLongTestMoisture = std::numeric_limits<double>::infinity();
  Doc().UpdateAllViews(nullptr, 1);
  EXPECT_EQ(Density()->text(), "");
  EXPECT_EQ(Moisture()->text(), "");
  EXPECT_EQ(DensityRating(), "");
  EXPECT_EQ(MoistureRating(), "");
}

TEST_F(LongTestPage, TypedDensityIsStoredInPcfAndShownWithTwoPlaces) {
  TypeOver(Density(), "110.5");
  EXPECT_EQ(Record().m_dLongTestDensity, 110.5);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Density()->text(), "110.5");  // as typed while typing
  page->RefreshPage();
  EXPECT_EQ(Density()->text(), "110.50");
}

TEST_F(LongTestPage, InMetricTheDensityIsTypedInKilogramsPerCubicMetre) {
  SwitchUnits(kMetric);
  EXPECT_TRUE(page->Control(CLongTestPage::IDC_UNIT_METRIC)->isVisible());
  EXPECT_FALSE(page->Control(CLongTestPage::IDC_UNIT_PCF)->isVisible());
  EXPECT_EQ(Density()->text(),
            QString::fromStdString(pages::FormatFixed2(109.5 * kMetricDensityFactor)));
  TypeOver(Density(), "1770");
  EXPECT_NEAR(Record().m_dLongTestDensity, 1770.0 / kMetricDensityFactor, 1e-12);
  page->RefreshPage();
  EXPECT_EQ(Density()->text(), "1770.00");
  SwitchUnits(kEnglish);
  EXPECT_EQ(Density()->text(), "110.50");
}

TEST_F(LongTestPage, AnythingButDigitsAndOnePointIsRefused) {
  TypeOver(Density(), "-");
  ASSERT_EQ(prompt.Texts(), std::vector<std::string>{msg::kNumericOnly});
  EXPECT_EQ(prompt.shown[0].icon, framework::MsgIcon::None);
  EXPECT_EQ(Record().m_dLongTestDensity, 109.5);
  EXPECT_EQ(FocusWidget(), Density());
  EXPECT_EQ(Density()->selectedText(), "-");
  prompt.shown.clear();
  TypeOver(Moisture(), "1.2.");
  EXPECT_EQ(prompt.Texts().back(), msg::kNumericOnly);
  // Each keystroke before the second point was a number and was stored.
  EXPECT_EQ(Record().m_dLongTestMoisture, 1.2);
  EXPECT_EQ(FocusWidget(), Moisture());
  EXPECT_EQ(Moisture()->selectedText(), "1.2.");
}

TEST_F(LongTestPage, AnEmptyDensityStoresZero) {
  TypeOver(Density(), "");
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(Record().m_dLongTestDensity, 0.0);
  page->RefreshPage();
  EXPECT_EQ(Density()->text(), "0.00");
  EXPECT_TRUE(DensityRating().isEmpty());
}

TEST_F(LongTestPage, AnEmptyMoistureAsksForANumberAndKeepsTheOldValue) {
  TypeOver(Moisture(), "");
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{framework::stock::kEnterNumber});
  EXPECT_EQ(Record().m_dLongTestMoisture, 11.8);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(FocusWidget(), Moisture());
}

TEST_F(LongTestPage, ADensityChangeRewritesTheMoistureInItsShortestForm) {
  TypeOver(Moisture(), "12.50");
  EXPECT_EQ(Record().m_dLongTestMoisture, 12.5);
  EXPECT_EQ(Moisture()->text(), "12.50");
  TypeOver(Density(), "111");
  EXPECT_EQ(Moisture()->text(), "12.5");
}

TEST_F(LongTestPage, LeavingAFieldRatesOnlyItsOwnQuantity) {
  const QString moistureBefore = MoistureRating();
  TypeOver(Density(), "120");
  EXPECT_NE(DensityRating().toStdString(),
            RateLongTest(Doc(), Record().m_dMaxDryDensity, 120.0, true));  // not while typing
  TypeOver(Moisture(), "30");
  // The focus left the density edit: its rating is new, the moisture's is not yet.
  EXPECT_EQ(DensityRating().toStdString(),
            RateLongTest(Doc(), Record().m_dMaxDryDensity, 120.0, true));
  EXPECT_EQ(MoistureRating(), moistureBefore);
  Density()->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(MoistureRating().toStdString(),
            RateLongTest(Doc(), Record().m_dOptimumMoisture, 30.0, false));
}
