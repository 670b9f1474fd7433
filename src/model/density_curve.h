#pragma once
// The moisture-density curve: the cubic-spline fit through the present test points, its
// results and the axis bounds of the chart drawn from them (chart/density_chart.h).
#include <array>
#include <string>
#include <vector>

class CDensoraDoc;
class TestPoint;

class CDensityCurve {
 public:
  enum Status { kStatusOk = 0, kStatusDuplicate = 1, kStatusImplausible = 2 };
  // The side of the long-test marker its label goes on: away from the fitted points.
  enum LongTestSide { kLabelLeft = 0, kLabelRight = 1 };

  // The curve reads the unit system and long-test values from `doc` and writes the fit's
  // results into its record.
  explicit CDensityCurve(CDensoraDoc& doc);
  virtual ~CDensityCurve();

  // Fits the spline through `count` present points, given in slot order.
  void ComputeCurve(int count, const TestPoint* const* points);
  // Gathers the record's present points (storing their count) and fits those the
  // technician did not leave out; the points left out are kept for the chart to show.
  void FitRecord();

  // The second derivatives of the cubic spline through (x, y), x ascending. A start slope
  // above 9.9e29 asks for a natural start; the end is always natural.
  static void BuildSpline(const double* x, const double* y, int n, double startSlope, double* y2);
  // The spline's value at `at`, stored in `result`; left unchanged when the bracketing
  // interval has zero width.
  static void SplineValue(const double* x, const double* y, const double* y2, int n, double at,
                          double& result);

  CDensoraDoc& Document() const { return m_doc; }

  // Fit state.
  int m_nStatus = kStatusOk;
  std::array<std::string, 3> m_strMessages;
  int m_nPointCount = 0;
  std::vector<double> m_dSortedMoisture;
  std::vector<double> m_dSortedUnitWeight;
  std::vector<double> m_dSampleMoisture;
  std::vector<double> m_dSampleUnitWeight;
  int m_nXAxisMin = 0;
  int m_nXAxisMax = 0;
  int m_nYAxisMin = 0;
  int m_nYAxisMax = 0;
  int m_nLongTestSide = kLabelLeft;  // a LongTestSide
  // The present points the last FitRecord left out of the fit, in slot order, as the chart
  // shows them: moisture in percent, dry unit weight in the units on screen.
  std::vector<double> m_dExcludedMoisture;
  std::vector<double> m_dExcludedUnitWeight;

 private:
  void WidenForLongTest(double& xMin, double& xMax);
  void SetUnitWeightAxis(double sampleMin, double peak);

  CDensoraDoc& m_doc;
};

// A double turned into an int toward zero, with a value beyond the int range (or not a
// number) held to the nearest limit of ±1e9 (0 for not a number), so that no cast is ever
// undefined and sums of two bounds still fit.
int SaturatingTrunc(double value);
