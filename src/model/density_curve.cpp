#include "model/density_curve.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/densora_doc.h"
#include "model/long_test.h"

int SaturatingTrunc(double value) {
  constexpr double kLimit = 1e9;
  if (std::isnan(value)) return 0;
  if (value >= kLimit) return static_cast<int>(kLimit);
  if (value <= -kLimit) return -static_cast<int>(kLimit);
  return static_cast<int>(value);
}

CDensityCurve::CDensityCurve(CDensoraDoc& doc)
    : m_strMessages{"", "WARNING: A test point possibly entered twice",
                    "WARNING: Graph values unusually high/low.  Check test point values."},
      m_doc(doc) {}

CDensityCurve::~CDensityCurve() = default;

void CDensityCurve::FitRecord() {
  CompactionRecord& r = m_doc.m_record;
  r.GatherPresentPoints();
  std::vector<const TestPoint*> fitted;
  m_dExcludedMoisture.clear();
  m_dExcludedUnitWeight.clear();
  for (int slot = 0; slot < kPointSlots; ++slot) {
    const TestPoint& p = r.Point(slot);
    if (p.IsEmpty()) continue;
    if (!r.IsExcluded(slot)) {
      fitted.push_back(&p);
      continue;
    }
    m_dExcludedMoisture.push_back(100.0 * p.MoistureContent());
    m_dExcludedUnitWeight.push_back(p.DryUnitWeight() * m_doc.DensityFactor());
  }
  ComputeCurve(static_cast<int>(fitted.size()), fitted.data());
}

void CDensityCurve::BuildSpline(const double* x, const double* y, int n, double startSlope,
                                double* y2) {
  if (n < 2) {
    if (n == 1) y2[0] = 0.0;
    return;
  }
  std::vector<double> u(static_cast<std::size_t>(n), 0.0);
  if (startSlope > 9.9e29) {
    y2[0] = u[0] = 0.0;
  } else {
    y2[0] = -0.5;
    u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - startSlope);
  }
  for (int i = 1; i <= n - 2; ++i) {
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    u[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
    u[i] = (6.0 * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
  }
  y2[n - 1] = 0.0;
  for (int k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
}

void CDensityCurve::SplineValue(const double* x, const double* y, const double* y2, int n,
                                double at, double& result) {
  int klo = 0;
  int khi = n - 1;
  while (khi - klo > 1) {
    const int k = (khi + klo) / 2;
    if (x[k] > at) {
      khi = k;
    } else {
      klo = k;
    }
  }
  const double h = x[khi] - x[klo];
  if (h == 0.0) return;
  const double a = (x[khi] - at) / h;
  const double b = (at - x[klo]) / h;
  result = a * y[klo] + b * y[khi] +
           ((a * a * a - a) * y2[klo] + (b * b * b - b) * y2[khi]) * (h * h) / 6.0;
}

namespace {

// The points as the chart plots them: moisture in percent, dry unit weight in the units on
// screen, with their ranges. A point whose dry weight is 0 has no moisture content, and
// weights far beyond any soil overflow: such values count as 0 and make the fit degenerate.
struct PlotPoints {
  std::vector<double> x, y;
  double xMin = 1e9, xMax = 1e-9, yMin = 1e9, yMax = 1e-9;
  bool degenerate = false;
};

PlotPoints MeasurePoints(const TestPoint* const* points, int n, double factor) {
  PlotPoints p;
  p.x.resize(static_cast<std::size_t>(n));
  p.y.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    double xi = 100.0 * points[i]->MoistureContent();
    double yi = points[i]->DryUnitWeight() * factor;
    if (!std::isfinite(xi)) {
      xi = 0.0;
      p.degenerate = true;
    }
    if (!std::isfinite(yi)) {
      yi = 0.0;
      p.degenerate = true;
    }
    p.x[i] = xi;
    p.y[i] = yi;
    p.xMax = std::max(p.xMax, xi);
    p.xMin = std::min(p.xMin, xi);
    p.yMax = std::max(p.yMax, yi);
    p.yMin = std::min(p.yMin, yi);
  }
  return p;
}

// Exchange sort by moisture; equal moistures keep their order.
void SortByMoisture(std::vector<double>& x, std::vector<double>& y) {
  const int n = static_cast<int>(x.size());
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i; j <= n - 1; ++j) {
      if (x[i - 1] > x[j]) {
        std::swap(x[i - 1], x[j]);
        std::swap(y[i - 1], y[j]);
      }
    }
  }
}

// A point entered twice would give the spline a zero-width interval: the second copy moves
// a little along the curve's trend. True when a point was moved.
bool NudgeDuplicates(std::vector<double>& x, std::vector<double>& y) {
  const int n = static_cast<int>(x.size());
  bool moved = false;
  for (int i = 0; i <= n - 2; ++i) {
    if (std::fabs(x[i] - x[i + 1]) < 1e-7 && std::fabs(y[i] - y[i + 1]) < 1e-7) {
      x[i + 1] += 0.05;
      const int ahead = i + 2 < n - 1 ? i + 2 : i + 1;
      y[i + 1] += 0.1 * (y[i] < y[ahead] ? 1.0 : -1.0);
      moved = true;
    }
  }
  return moved;
}

// Equal moistures with different unit weights leave an interval of zero width, across which
// the spline cannot be set up.
bool HasEmptyInterval(const std::vector<double>& x) {
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    const double w = x[i + 1] - x[i];
    if (w == 0.0 || !std::isfinite(w)) return true;
  }
  return false;
}

// The spline's second derivatives, or zeros (straight lines) when it cannot be set up.
std::vector<double> SecondDerivatives(const std::vector<double>& x, const std::vector<double>& y,
                                      bool& degenerate) {
  const int n = static_cast<int>(x.size());
  std::vector<double> y2(x.size(), 0.0);
  if (n < 2 || degenerate) return y2;
  const double startSlope = (y[1] - y[0]) / (x[1] - x[0]);
  CDensityCurve::BuildSpline(x.data(), y.data(), n, startSlope, y2.data());
  for (double v : y2) {
    if (!std::isfinite(v)) degenerate = true;
  }
  if (degenerate) y2.assign(y2.size(), 0.0);
  return y2;
}

// The curve sampled at 20 steps an interval, with its lowest and highest value and the peak:
// the maximum dry density and its moisture.
struct Samples {
  std::vector<double> moisture, unitWeight;
  double min = 1e9, max = -1e9;
  double peakMoisture = 0.0, peak = 0.0;
};

Samples SampleSpline(const std::vector<double>& x, const std::vector<double>& y,
                     const std::vector<double>& y2, bool& degenerate) {
  const int n = static_cast<int>(x.size());
  const std::size_t count = static_cast<std::size_t>(20 * n - 18);
  Samples s;
  s.moisture.assign(count, 0.0);
  s.unitWeight.assign(count, 0.0);
  double yv = y[0];
  CDensityCurve::SplineValue(x.data(), y.data(), y2.data(), n, x[0], yv);
  s.moisture[0] = x[0];
  s.unitWeight[0] = std::isfinite(yv) ? yv : y[0];
  std::size_t idx = 1;
  for (int i = 0; i <= n - 2; ++i) {
    const double h = 0.05 * (x[i + 1] - x[i]);
    for (int k = 1; k <= 20; ++k, ++idx) {
      const double xv = x[i] + k * h;
      CDensityCurve::SplineValue(x.data(), y.data(), y2.data(), n, xv, yv);
      if (!std::isfinite(yv)) {
        degenerate = true;
        yv = s.unitWeight[idx - 1];
      }
      s.moisture[idx] = xv;
      s.unitWeight[idx] = yv;
      s.min = std::min(s.min, yv);
      s.max = std::max(s.max, yv);
      if (yv > s.peak) {
        s.peak = yv;
        s.peakMoisture = xv;
      }
    }
  }
  s.moisture[count - 1] = x[n - 1];
  s.unitWeight[count - 1] = y[n - 1];
  return s;
}

}  // namespace

void CDensityCurve::ComputeCurve(int count, const TestPoint* const* points) {
  CompactionRecord& rec = m_doc.m_record;
  m_nStatus = kStatusOk;
  rec.m_dMaxDryDensity = 0.0;
  rec.m_dOptimumMoisture = 0.0;
  const int n = std::clamp(count, 0, kPointSlots);
  m_nPointCount = n;
  if (n == 0) return;

  const double factor = m_doc.DensityFactor();
  PlotPoints p = MeasurePoints(points, n, factor);
  WidenForLongTest(p.xMin, p.xMax);
  SortByMoisture(p.x, p.y);
  if (NudgeDuplicates(p.x, p.y)) m_nStatus = kStatusDuplicate;
  if (p.xMax > 30.0 || p.xMin < 0.0 || p.yMax > 150.0 * factor || p.yMin < 50.0 * factor) {
    m_nStatus = kStatusImplausible;
  }
  m_nXAxisMax = SaturatingTrunc(std::ceil(p.xMax)) + 1;
  m_nXAxisMin = SaturatingTrunc(std::floor(p.xMin)) - 1;
  if (HasEmptyInterval(p.x)) p.degenerate = true;
  m_dSortedMoisture = p.x;
  m_dSortedUnitWeight = p.y;

  const std::vector<double> y2 = SecondDerivatives(p.x, p.y, p.degenerate);
  Samples s = SampleSpline(p.x, p.y, y2, p.degenerate);
  m_dSampleMoisture = std::move(s.moisture);
  m_dSampleUnitWeight = std::move(s.unitWeight);
  rec.m_dMaxDryDensity = s.peak;
  rec.m_dOptimumMoisture = s.peakMoisture;

  double peakForBounds = rec.m_dMaxDryDensity;
  if (p.degenerate) {
    rec.m_dMaxDryDensity = 0.0;
    rec.m_dOptimumMoisture = 0.0;
    m_nStatus = kStatusImplausible;
    // The axes still frame the points, so the chart shows what was entered.
    peakForBounds = std::max(s.max, p.yMax);
    s.min = std::min(s.min, p.yMin);
  }
  if (rec.m_dMaxDryDensity == 0.0 || rec.m_dOptimumMoisture == 0.0) m_nStatus = kStatusImplausible;
  SetUnitWeightAxis(s.min, peakForBounds);
}

// The long-test moisture widens the moisture range; the side it lay on places its label.
void CDensityCurve::WidenForLongTest(double& xMin, double& xMax) {
  const double longMoisture = LongTestValue(m_doc.m_record.m_dLongTestMoisture);
  if (longMoisture != 0.0 && xMax < longMoisture) {
    xMax = longMoisture;
    m_nLongTestSide = 0;
  }
  if (longMoisture != 0.0 && xMin > longMoisture) {
    xMin = longMoisture;
    m_nLongTestSide = 1;
  }
}

// The unit-weight axis: whole steps around the curve's lowest and highest value, widened to
// the long-test density, with at least half a step of room at either end.
void CDensityCurve::SetUnitWeightAxis(double sampleMin, double peak) {
  const int step = m_doc.AxisStep();
  const double s = step;
  const double longDensity = LongTestValue(m_doc.m_record.m_dLongTestDensity);
  const double target = longDensity * m_doc.DensityFactor();
  const int truncTarget = SaturatingTrunc(target);
  m_nYAxisMin = SaturatingTrunc(SaturatingTrunc(sampleMin / s) * s);
  if (longDensity != 0.0 && m_nYAxisMin > target) m_nYAxisMin = truncTarget;
  if (sampleMin - m_nYAxisMin <= 0.5 * s) m_nYAxisMin -= step;
  m_nYAxisMax = SaturatingTrunc((SaturatingTrunc(peak / s) + 1.0) * s);
  if (m_nYAxisMax < target) m_nYAxisMax = truncTarget;
  if (m_nYAxisMax - peak >= 0.5 * s) m_nYAxisMax += step;
  if (std::abs(static_cast<long long>(m_nYAxisMax) - truncTarget) <= step) m_nYAxisMax += step;
}
