#include "model/lab_extension.h"

#include <cmath>

bool LabExtension::Empty() const { return *this == LabExtension{}; }

std::optional<double> EnteredNumber(const LabExtension& x, const LabEntryKey& k) {
  if (k.number && x.*k.number != 0.0) return x.*k.number;
  if (k.optionalNumber) return x.*k.optionalNumber;
  return std::nullopt;
}

double ZeroAirVoidsUnitWeight(double gs, double moisturePercent) {
  return gs * kWaterUnitWeightPcf / (1.0 + moisturePercent * gs / 100.0);
}

std::optional<double> DegreeOfSaturation(double gs, double moisturePercent, double dryPcf) {
  if (!(dryPcf > 0.0)) return std::nullopt;
  const double voids = gs * kWaterUnitWeightPcf / dryPcf - 1.0;
  if (!(voids > 0.0)) return std::nullopt;
  const double s = moisturePercent * gs / voids;
  if (!std::isfinite(s)) return std::nullopt;
  return s;
}

std::optional<double> OversizeCorrectedDensity(double fitPcf, double oversizePercent, double gm) {
  if (!(oversizePercent > 0.0) || !(oversizePercent < 100.0) || !(gm > 0.0) || !(fitPcf > 0.0)) {
    return std::nullopt;
  }
  const double k = kWaterUnitWeightPcf * gm;
  const double fine = 100.0 - oversizePercent;
  const double d = 100.0 * fitPcf * k / (fitPcf * oversizePercent + k * fine);
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

double OversizeCorrectedMoisture(double fitMoisture, double oversizePercent,
                                 double oversizeMoisture) {
  return (fitMoisture * (100.0 - oversizePercent) + oversizeMoisture * oversizePercent) / 100.0;
}
