#include "model/long_test.h"

#include <cmath>
#include <cstdio>

#include "model/densora_doc.h"

double LongTestValue(double value) { return std::isfinite(value) ? value : 0.0; }

std::optional<LongTestAgreement> CompareLongTest(const CDensoraDoc& doc, double fitted,
                                                 double longTest, bool isDensity) {
  // No long test, no fit, or a value no arithmetic can rate (a damaged file): no rating.
  if (longTest == 0.0 || fitted == 0.0 || !std::isfinite(longTest) || !std::isfinite(fitted)) {
    return std::nullopt;
  }
  const double difference = std::fabs(fitted - longTest);
  // The density thresholds are 1.5, 2.0 and 2.5 pcf in the current unit; graded on the
  // difference itself, not on its rounded text.
  const double f = isDensity ? doc.DensityFactor() : 1.0;
  const char* grade = "Poor";
  if (difference < 1.5 * f) {
    grade = "Excellent";
  } else if (difference <= 2.0 * f) {
    grade = "Good";
  } else if (difference <= 2.5 * f) {
    grade = "Fair";
  }
  return LongTestAgreement{difference, grade};
}

std::string RateLongTest(const CDensoraDoc& doc, double fitted, double longTest, bool isDensity) {
  const std::optional<LongTestAgreement> agreement =
      CompareLongTest(doc, fitted, longTest, isDensity);
  if (!agreement) return {};
  const std::string suffix = isDensity ? " " + doc.DensityUnit() : std::string("%");
  char buf[512];
  std::snprintf(buf, sizeof buf, "difference = %.1f%s - %s", agreement->difference, suffix.c_str(),
                agreement->grade);
  return buf;
}
