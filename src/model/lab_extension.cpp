#include "model/lab_extension.h"

#include <cmath>

bool LabExtension::Empty() const { return *this == LabExtension{}; }

namespace {

// `pattern` with the number `n` where it has "%d".
std::string Numbered(std::string pattern, int n) {
  if (const std::size_t at = pattern.find("%d"); at != std::string::npos) {
    pattern.replace(at, 2, std::to_string(n));
  }
  return pattern;
}

std::vector<LabField> MakeFields() {
  std::vector<LabField> fields;
  for (const LabEntry& e : kLabEntries) {
    for (int slot = 0; slot < e.storage.count; ++slot) {
      if (e.storage.count == 1) {
        fields.push_back({&e, slot, e.key, e.label});
      } else {
        fields.push_back({&e, slot, Numbered(e.key, slot + 1), Numbered(e.label, slot + 1)});
      }
    }
  }
  return fields;
}

}  // namespace

const std::vector<LabField>& LabFields() {
  static const std::vector<LabField> fields = MakeFields();
  return fields;
}

const LabField* FindLabField(std::string_view key) {
  for (const LabField& f : LabFields()) {
    if (f.key == key) return &f;
  }
  return nullptr;
}

std::string_view LabField::PointKey() const {
  const std::string_view pattern = entry->key;
  const std::size_t dot = pattern.find('.');
  return dot == std::string_view::npos ? pattern : pattern.substr(dot + 1);
}

EntryValue ListedValue(const LabField& field, const LabExtension& x) {
  EntryValue v = field.Get(x);
  if (std::holds_alternative<std::monostate>(v)) {
    if (field.Type() == EntryType::kNumber) v = 0.0;
    if (field.Type() == EntryType::kText) v = std::string();
  }
  return v;
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
