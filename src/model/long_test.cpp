#include "model/long_test.h"

#include <cmath>
#include <cstdio>

#include "model/densora_doc.h"

double LongTestValue(double value) { return std::isfinite(value) ? value : 0.0; }

std::string RateLongTest(const CDensoraDoc& doc, double fitted, double longTest, bool isDensity) {
  // No long test, no fit, or a value no arithmetic can rate (a damaged file): no rating.
  if (longTest == 0.0 || fitted == 0.0 || !std::isfinite(longTest) || !std::isfinite(fitted)) {
    return {};
  }
  const double difference = std::fabs(fitted - longTest);
  const std::string suffix = isDensity ? " " + doc.DensityUnit() : std::string("%");
  // The density thresholds are 1.5, 2.0 and 2.5 pcf in the current unit.
  const double f = isDensity ? doc.DensityFactor() : 1.0;
  char buf[512];
  std::snprintf(buf, sizeof buf, "difference = %.1f%s", difference, suffix.c_str());
  std::string text = buf;
  if (difference < 1.5 * f) {
    text += " - Excellent";
  } else if (difference <= 2.0 * f) {
    text += " - Good";
  } else if (difference <= 2.5 * f) {
    text += " - Fair";
  } else {
    text += " - Poor";
  }
  return text;
}
