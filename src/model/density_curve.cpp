#include "model/density_curve.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/densora_doc.h"

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
  const std::vector<const TestPoint*> present = m_doc.m_record.GatherPresentPoints();
  ComputeCurve(static_cast<int>(present.size()), present.data());
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
  result = a * y[klo] + b * y[khi] + ((a * a * a - a) * y2[klo] + (b * b * b - b) * y2[khi]) * (h * h) / 6.0;
}

void CDensityCurve::ComputeCurve(int count, const TestPoint* const* points) {
  CompactionRecord& rec = m_doc.m_record;
  m_nStatus = kStatusOk;
  rec.m_dMaxDryDensity = 0.0;
  rec.m_dOptimumMoisture = 0.0;
  const int n = count < 0 ? 0 : (count > kPointSlots ? kPointSlots : count);
  m_nPointCount = n;
  if (n == 0) return;

  const double factor = m_doc.DensityFactor();
  const int step = m_doc.AxisStep();
  const double longMoisture = rec.m_dLongTestMoisture;
  const double longDensity = rec.m_dLongTestDensity;

  // A point whose dry weight is 0 has no moisture content, and weights far beyond any soil
  // overflow; such values are fitted as 0 and the fit is flagged doubtful with no result.
  bool degenerate = false;
  std::vector<double> x(static_cast<std::size_t>(n));
  std::vector<double> y(static_cast<std::size_t>(n));
  double xMax = 1e-9, yMax = 1e-9, xMin = 1e9, yMin = 1e9;
  for (int i = 0; i < n; ++i) {
    double xi = 100.0 * points[i]->MoistureContent();
    double yi = points[i]->DryUnitWeight() * factor;
    if (!std::isfinite(xi)) {
      xi = 0.0;
      degenerate = true;
    }
    if (!std::isfinite(yi)) {
      yi = 0.0;
      degenerate = true;
    }
    x[i] = xi;
    y[i] = yi;
    if (xi > xMax) xMax = xi;
    if (xi < xMin) xMin = xi;
    if (yi > yMax) yMax = yi;
    if (yi < yMin) yMin = yi;
  }

  // The long-test moisture widens the moisture range; the side it lay on places its label.
  if (longMoisture != 0.0 && xMax < longMoisture) {
    xMax = longMoisture;
    m_nLongTestSide = 0;
  }
  if (longMoisture != 0.0 && xMin > longMoisture) {
    xMin = longMoisture;
    m_nLongTestSide = 1;
  }

  // Exchange sort by moisture; equal moistures keep their order.
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i; j <= n - 1; ++j) {
      if (x[i - 1] > x[j]) {
        std::swap(x[i - 1], x[j]);
        std::swap(y[i - 1], y[j]);
      }
    }
  }

  // A point entered twice would give the spline a zero-width interval: move the second copy
  // a little along the curve's trend and warn.
  for (int i = 0; i <= n - 2; ++i) {
    if (std::fabs(x[i] - x[i + 1]) < 1e-7 && std::fabs(y[i] - y[i + 1]) < 1e-7) {
      x[i + 1] += 0.05;
      double d;
      if (i + 2 < n - 1) {
        d = y[i] < y[i + 2] ? 1.0 : -1.0;
      } else {
        d = y[i] < y[i + 1] ? 1.0 : -1.0;
      }
      y[i + 1] += 0.1 * d;
      m_nStatus = kStatusDuplicate;
    }
  }

  if (xMax > 30.0 || xMin < 0.0 || yMax > 150.0 * factor || yMin < 50.0 * factor) {
    m_nStatus = kStatusImplausible;
  }

  m_nXAxisMax = SaturatingTrunc(std::ceil(xMax)) + 1;
  m_nXAxisMin = SaturatingTrunc(std::floor(xMin)) - 1;

  // Equal moistures with different unit weights leave an interval of zero width, across
  // which the spline cannot be set up.
  for (int i = 0; i + 1 < n; ++i) {
    const double w = x[i + 1] - x[i];
    if (w == 0.0 || !std::isfinite(w)) degenerate = true;
  }

  m_dSortedMoisture = x;
  m_dSortedUnitWeight = y;

  std::vector<double> y2(static_cast<std::size_t>(n), 0.0);
  if (n >= 2 && !degenerate) {
    const double startSlope = (y[1] - y[0]) / (x[1] - x[0]);
    BuildSpline(x.data(), y.data(), n, startSlope, y2.data());
    for (double v : y2) {
      if (!std::isfinite(v)) degenerate = true;
    }
    if (degenerate) y2.assign(y2.size(), 0.0);  // fall back to straight lines
  }

  const std::size_t samples = static_cast<std::size_t>(20 * n - 18);
  m_dSampleMoisture.assign(samples, 0.0);
  m_dSampleUnitWeight.assign(samples, 0.0);
  double yv = y[0];
  SplineValue(x.data(), y.data(), y2.data(), n, x[0], yv);
  m_dSampleMoisture[0] = x[0];
  m_dSampleUnitWeight[0] = std::isfinite(yv) ? yv : y[0];
  double sampleMin = 1e9;
  double sampleMax = -1e9;
  std::size_t idx = 1;
  for (int i = 0; i <= n - 2; ++i) {
    const double h = 0.05 * (x[i + 1] - x[i]);
    for (int k = 1; k <= 20; ++k) {
      const double xv = x[i] + k * h;
      SplineValue(x.data(), y.data(), y2.data(), n, xv, yv);
      if (!std::isfinite(yv)) {
        degenerate = true;
        yv = m_dSampleUnitWeight[idx - 1];
      }
      m_dSampleMoisture[idx] = xv;
      m_dSampleUnitWeight[idx] = yv;
      ++idx;
      if (yv < sampleMin) sampleMin = yv;
      if (yv > sampleMax) sampleMax = yv;
      if (yv > rec.m_dMaxDryDensity) {
        rec.m_dMaxDryDensity = yv;
        rec.m_dOptimumMoisture = xv;
      }
    }
  }
  m_dSampleMoisture[samples - 1] = x[n - 1];
  m_dSampleUnitWeight[samples - 1] = y[n - 1];

  double peakForBounds = rec.m_dMaxDryDensity;
  if (degenerate) {
    rec.m_dMaxDryDensity = 0.0;
    rec.m_dOptimumMoisture = 0.0;
    m_nStatus = kStatusImplausible;
    // The axes still frame the points, so the chart shows what was entered.
    peakForBounds = std::max(sampleMax, yMax);
    sampleMin = std::min(sampleMin, yMin);
  }
  if (rec.m_dMaxDryDensity == 0.0 || rec.m_dOptimumMoisture == 0.0) m_nStatus = kStatusImplausible;

  const double s = step;
  const double target = longDensity * factor;
  const int truncTarget = SaturatingTrunc(target);
  m_nYAxisMin = SaturatingTrunc(SaturatingTrunc(sampleMin / s) * s);
  if (longDensity != 0.0 && m_nYAxisMin > target) m_nYAxisMin = truncTarget;
  if (sampleMin - m_nYAxisMin <= 0.5 * s) m_nYAxisMin -= step;
  m_nYAxisMax = SaturatingTrunc((SaturatingTrunc(peakForBounds / s) + 1.0) * s);
  if (m_nYAxisMax < target) m_nYAxisMax = truncTarget;
  if (m_nYAxisMax - peakForBounds >= 0.5 * s) m_nYAxisMax += step;
  if (std::abs(static_cast<long long>(m_nYAxisMax) - truncTarget) <= step) m_nYAxisMax += step;
}
