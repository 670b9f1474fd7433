#pragma once
// Builds test points from the moisture and dry unit weight they should have, so that tests
// can state records in the units a technician reads off a chart.
#include "model/densora_doc.h"

namespace densora_test {

inline constexpr double kTestMoldWeight = 4000.0;

// Fills `slot` (0-based) of the record so that, with the standard 1/30 ft³ mold and the
// mold weight kTestMoldWeight, the point has `moisturePercent` and `dryPcf`: a dry sample of
// `drySample` g, the wet sample that holds that moisture, and the mold+soil weight that gives
// the unit weight.
inline void SetPoint(CDensoraDoc& doc, int slot, double moisturePercent, double dryPcf,
                     double drySample = 100.0) {
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = kTestMoldWeight;
  TestPoint& p = r.Point(slot);
  p.m_dDrySample = drySample;
  p.m_dWetSample = drySample + drySample * moisturePercent / 100.0;
  p.m_dMoldSoil =
      kTestMoldWeight + dryPcf * (1.0 + moisturePercent / 100.0) * r.m_dMoldVolume * 453.6;
}

// The worked record of three points: 10 % at 100 pcf, 12 % at 104 pcf, 14 % at 101 pcf.
// 14 % of 100 g comes out a hair above 14 in binary, which would widen the moisture axis by
// one; a 72 g sample gives a hair below.
inline void SetThreePoints(CDensoraDoc& doc) {
  SetPoint(doc, 0, 10.0, 100.0);
  SetPoint(doc, 1, 12.0, 104.0);
  SetPoint(doc, 2, 14.0, 101.0, 72.0);
}

}  // namespace densora_test
