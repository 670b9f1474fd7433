// The fuzzer's seed corpus is the set of files these records write. The test checks that
// the committed seeds are exactly those files; DENSORA_UPDATE_CORPUS=1 rewrites them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "file/lng_format.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "support/records.h"

namespace {

struct Seed {
  const char* name;
  std::function<void(CDensoraDoc&)> fill;
};

std::vector<Seed> Seeds() {
  return {
      {"empty-record.lng", [](CDensoraDoc&) {}},
      {"typical-5-points.lng", [](CDensoraDoc& d) { testdata::FillTypicalRecord(d); }},
      {"three-points-long-test.lng",
       [](CDensoraDoc& d) {
         testdata::FillThreePointExample(d);
         d.m_record.m_dLongTestDensity = 107;
         d.m_record.m_dLongTestMoisture = 13;
       }},
      {"duplicate-point.lng",
       [](CDensoraDoc& d) {
         d.m_record.m_dMoldWeight = 4000;
         testdata::SetPoint(d.m_record, 0, 10, 100);
         testdata::SetPoint(d.m_record, 1, 10, 100);
         testdata::SetPoint(d.m_record, 2, 14, 101);
       }},
      {"long-texts-six-points.lng",
       [](CDensoraDoc& d) {
         testdata::FillTypicalRecord(d);
         d.m_record.m_strProject = std::string(300, 'P');
         d.m_record.m_strComments = std::string(255, 'c');
         testdata::SetPoint(d.m_record, 5, 21, 98);
       }},
      {"lab-extension.lng",
       [](CDensoraDoc& d) {
         testdata::FillTypicalRecord(d);
         d.m_record.m_ext = {2.70, "measured", 12, 2.65, 2, "AASHTO T 180", "D"};
       }},
      // A later version's entries, one of each kind, beside a known one: kept as they came.
      {"lab-extension-unknown-keys.lng",
       [](CDensoraDoc& d) {
         testdata::FillThreePointExample(d);
         LabExtension& x = d.m_record.m_ext;
         x.specificGravity = 2.65;
         x.unknown = {{"liquidLimit", 'D', 41.5, 0, {}},
                      {"sieveNumber", 'I', 0.0, 4, {}},
                      {"soilClass", 'S', 0.0, 0, "A-7-6"}};
       }},
  };
}

std::vector<unsigned char> SeedBytes(const Seed& seed) {
  CDensoraDoc doc;
  seed.fill(doc);
  CDensityCurve curve(doc);
  curve.FitRecord();  // the store step: recount and refit (English, so already pcf)
  return LngBytes(doc.m_record);
}

}  // namespace

TEST(FuzzCorpus, SeedsAreTheFilesTheseRecordsWrite) {
  const bool update = std::getenv("DENSORA_UPDATE_CORPUS") != nullptr;
  for (const Seed& seed : Seeds()) {
    const std::string path = std::string(DENSORA_FUZZ_CORPUS_DIR) + "/" + seed.name;
    const auto bytes = SeedBytes(seed);
    if (update) testdata::WriteBytes(path, bytes);
    EXPECT_EQ(testdata::ReadBytes(path), bytes) << seed.name;

    CDensoraDoc reread;
    EXPECT_TRUE(reread.OnOpenDocument(path)) << seed.name;
  }
}
