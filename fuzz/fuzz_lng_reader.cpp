// Feeds arbitrary bytes to the .lng reader, then fits and rates whatever record it accepted:
// every input must end in one of the reader's outcomes, without a crash, a hang, a huge
// allocation or undefined behaviour in the arithmetic.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "file/lng_format.h"
#include "framework/archive.h"
#include "framework/document.h"
#include "framework/prompt.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "model/long_test.h"

namespace {

class SilentPrompt : public framework::Prompt {
 public:
  framework::MsgAnswer Show(const std::string&, framework::MsgButtons,
                            framework::MsgIcon) override {
    return framework::MsgAnswer::Ok;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentPrompt prompt;
  framework::SetPrompt(&prompt);

  CDensoraDoc doc;
  const std::vector<unsigned char> before = LngBytes(doc.m_record);
  bool accepted = false;
  try {
    framework::CArchive ar(data, size);
    doc.Serialize(ar);
    accepted = true;
  } catch (const framework::CArchiveException&) {
  } catch (const framework::CUserException&) {
  }
  if (!accepted && LngBytes(doc.m_record) != before) std::abort();  // a refusal changed the record

  for (int units : {kEnglish, kMetric}) {
    doc.m_nUnits = units;
    CDensityCurve curve(doc);
    curve.FitRecord();
    const CompactionRecord& r = doc.m_record;
    RateLongTest(doc, r.m_dMaxDryDensity, r.m_dLongTestDensity * doc.DensityFactor(), true);
    RateLongTest(doc, r.m_dOptimumMoisture, r.m_dLongTestMoisture, false);
    // The laboratory's entries against the fit, as densora-cli show evaluates them.
    const LabResults lab =
        EvaluateLab(r, r.m_dMaxDryDensity / doc.DensityFactor(), r.m_dOptimumMoisture);
    (void)ReportLabLines(r.m_ext, lab, doc.DensityFactor(), doc.DensityUnit());
    // The zero-air-voids curve across the moisture axis, in at most about a thousand steps:
    // a damaged file's axis can span a billion percent, and sampling it at every percent
    // (up to the curve's bound of 100,000 samples) would cost each input as much as
    // thousands of others.
    const double span = static_cast<double>(curve.m_nXAxisMax) - curve.m_nXAxisMin;
    (void)ZeroAirVoidsCurve(r.m_ext.specificGravity, curve.m_nXAxisMin, curve.m_nXAxisMax,
                            std::max(1.0, span / 1000.0), doc.DensityFactor());
  }
  // What was read writes back.
  CompactionRecord copy(doc.m_record);
  (void)LngBytes(copy);
  return 0;
}
