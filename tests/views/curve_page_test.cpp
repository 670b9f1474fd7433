// The curve page: the chart of the record, the unit switch and the checks of the bracketing
// below the chart.
#include "views/curve_page.h"

#include <QLabel>
#include <QRadioButton>

#include "support_qt/app_fixture.h"
#include "views/curve_graph.h"

class CurvePage : public AppFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Start());
    testdata::FillTypicalRecord(Doc());
    ClickTab(2);
    page = View()->CurvePage();
  }
  QRadioButton* Radio(int id) const { return page->ControlAs<QRadioButton>(id); }

  CCurvePage* page = nullptr;
};

TEST_F(CurvePage, MetricMultipliesTheResultAndEnglishRestoresItExactly) {
  Doc().SetModifiedFlag(false);
  const double english = Record().m_dMaxDryDensity;
  const double moisture = Record().m_dOptimumMoisture;
  ASSERT_GT(english, 100.0);
  EXPECT_TRUE(Radio(CCurvePage::IDC_ENGLISH)->isChecked());
  QTest::mouseClick(Radio(CCurvePage::IDC_METRIC), Qt::LeftButton);
  EXPECT_EQ(Doc().m_nUnits, kMetric);
  EXPECT_NEAR(Record().m_dMaxDryDensity, english * kMetricDensityFactor, 1e-6);
  EXPECT_DOUBLE_EQ(Record().m_dOptimumMoisture, moisture);
  CDensityCurve& curve = page->Graph().Curve();
  EXPECT_EQ((curve.m_nYAxisMax - curve.m_nYAxisMin) % 20, 0);
  QTest::mouseClick(Radio(CCurvePage::IDC_ENGLISH), Qt::LeftButton);
  EXPECT_EQ(Doc().m_nUnits, kEnglish);
  EXPECT_EQ(Record().m_dMaxDryDensity, english);
  // Stored weights and the long test stay; the document is not modified by a switch.
  EXPECT_EQ(Record().m_dLongTestDensity, 109.5);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(CurvePage, TheChartFillsItsWindowAndRedrawsTheStoredFit) {
  CCurveGraph& graph = page->Graph();
  EXPECT_EQ(graph.geometry().size(), page->Control(CCurvePage::IDC_GRAPH)->geometry().size());
  const QImage image = graph.grab().toImage();
  // The plot area is white in the middle of the window; the chart was laid out on the
  // window's whole rectangle.
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2).lightness() > 200, true);
  EXPECT_EQ(graph.Chart().Layout().width, graph.width());
  EXPECT_EQ(graph.Chart().Layout().height, graph.height());
}

TEST_F(CurvePage, AChartWithAWarningSoundsItsToneWhenPainted) {
  // The same point entered twice: a status-1 fit.
  for (int k : {1, 2}) {
    Record().Point(k).m_dMoldSoil = Record().Point(0).m_dMoldSoil;
    Record().Point(k).m_dWetSample = Record().Point(0).m_dWetSample;
    Record().Point(k).m_dDrySample = Record().Point(0).m_dDrySample;
  }
  page->RefreshPage();
  ASSERT_NE(page->Graph().Curve().m_nStatus, CDensityCurve::kStatusOk);
  tone.plays = 0;
  page->Graph().grab();
  EXPECT_EQ(tone.plays, 1);
  EXPECT_EQ(tone.lastFrequency, 1500);
  EXPECT_EQ(tone.lastDuration, 1000);
}

TEST_F(CurvePage, AGoodChartIsSilent) {
  page->RefreshPage();
  ASSERT_EQ(page->Graph().Curve().m_nStatus, CDensityCurve::kStatusOk);
  tone.plays = 0;
  page->Graph().grab();
  EXPECT_EQ(tone.plays, 0);
}

TEST_F(CurvePage, TooFewPointsStillSwitchAndRecompute) {
  for (int k = 2; k < kPointSlots; ++k) {
    Record().Point(k).m_dMoldSoil = Record().Point(k).m_dWetSample =
        Record().Point(k).m_dDrySample = 0;
  }
  page->RefreshPage();
  EXPECT_EQ(page->Graph().Curve().m_nPointCount, 2);
  QTest::mouseClick(Radio(CCurvePage::IDC_METRIC), Qt::LeftButton);
  EXPECT_EQ(page->Graph().Curve().m_nPointCount, 2);
  EXPECT_EQ(Doc().m_nUnits, kMetric);
}

// Whether the points bracket the optimum is said below the chart, never over it: the checks
// take the page's foot and, when they need more, rows of the chart, which has its whole window
// back when there are none.
TEST_F(CurvePage, TheBracketingChecksShowBelowTheChart) {
  QWidget& graph = page->Graph();
  auto* checks = page->ControlAs<QLabel>(CCurvePage::IDC_CHECKS);
  const QRect whole = graph.geometry();
  EXPECT_FALSE(checks->isVisible());  // five points, two either side of the optimum

  struct Case {
    const char* name;
    double dry[4];  // at 10, 12, 14 and 16 %
    QString text;
  };
  const Case cases[] = {
      {"the highest point the driest",
       {106, 104, 101, 97},
       "WARNING: The points do not bracket the optimum: add a point on the dry side"},
      {"one point wet of the optimum",
       {100, 104, 101, 0},
       "NOTE: Fewer than two points on the wet side of the optimum"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testdata::FillTypicalRecord(Doc());
    for (int slot = 0; slot < kPointSlots; ++slot) {
      TestPoint& p = Record().Point(slot);
      p.m_dMoldSoil = p.m_dWetSample = p.m_dDrySample = 0.0;
    }
    for (int i = 0; i < 4 && c.dry[i] > 0; ++i) {
      testdata::SetPoint(Record(), i, 10.0 + 2 * i, c.dry[i]);
    }
    page->RefreshPage();
    ASSERT_TRUE(checks->isVisible());
    EXPECT_EQ(checks->text(), c.text);
    EXPECT_FALSE(checks->geometry().intersects(graph.geometry()));
    EXPECT_GE(checks->height(), checks->fontMetrics().lineSpacing());
    EXPECT_LE(checks->geometry().bottom(), page->height() - 1);
    EXPECT_EQ(graph.geometry().top(), whole.top());
    EXPECT_LE(graph.height(), whole.height());
    EXPECT_EQ(graph.width(), whole.width());
  }

  testdata::FillTypicalRecord(Doc());
  page->RefreshPage();
  EXPECT_FALSE(checks->isVisible());
  EXPECT_EQ(graph.geometry(), whole);
}
