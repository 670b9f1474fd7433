#include "support/records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace testdata {

void SetPoint(CompactionRecord& r, int slot, double moisturePercent, double dryPcf) {
  TestPoint& p = r.Point(slot);
  p.m_dDrySample = 200.0;
  p.m_dWetSample = 200.0 * (1.0 + moisturePercent / 100.0);
  // 100 × a fraction rarely lands on a round percentage (0.14 × 100 is 14.000000000000002).
  // Step the wet weight down unit by unit in the last place until the percentage is not
  // above the round value, so that axis bounds taken by ceiling are those of the round value.
  for (int k = 0; k < 64 && 100.0 * p.MoistureContent() > moisturePercent; ++k) {
    p.m_dWetSample = std::nextafter(p.m_dWetSample, -1e300);
  }
  const double wetPcf = dryPcf * (1.0 + moisturePercent / 100.0);
  p.m_dMoldSoil = r.m_dMoldWeight + wetPcf * r.m_dMoldVolume / kPoundsPerGram;
}

void FillThreePointExample(CDensoraDoc& doc) {
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000.0;
  SetPoint(r, 0, 10.0, 100.0);
  SetPoint(r, 1, 12.0, 104.0);
  SetPoint(r, 2, 14.0, 101.0);
}

void FillTypicalRecord(CDensoraDoc& doc) {
  CompactionRecord& r = doc.m_record;
  r.m_strProject = "MAIN ST";
  r.m_strTipNo = "A-100";
  r.m_strCounty = "Adams";
  r.m_strStation = "12+50 RT";
  r.m_strTestNo = "7";
  r.m_strDate = "05/09/2003";
  r.m_strTestType = "Subgrade";
  r.m_strTestedBy = "J. Ortiz";
  r.m_strComments = "Brown silty clay \xB7 stockpile 2";  // a middle dot: one byte
  r.m_dMoldWeight = 4250.0;
  const double points[5][3] = {{6020.4, 212.6, 195.0},
                               {6105.2, 220.3, 198.9},
                               {6148.9, 231.4, 204.2},
                               {6131.7, 240.8, 208.1},
                               {6079.3, 247.5, 209.6}};
  for (int i = 0; i < 5; ++i) {
    r.Point(i).m_dMoldSoil = points[i][0];
    r.Point(i).m_dWetSample = points[i][1];
    r.Point(i).m_dDrySample = points[i][2];
  }
  r.m_dLongTestDensity = 109.5;
  r.m_dLongTestMoisture = 11.8;
}

TempDir::TempDir() {
#ifdef _WIN32
  // A folder of a name no one else has, made as it is chosen.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("densora-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) m_path = candidate;
  }
  if (m_path.empty()) throw std::runtime_error("no temporary folder");
#else
  std::string tmpl = (std::filesystem::temp_directory_path() / "densora-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  m_path = tmpl;
#endif
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back any write permission a test took away, so the folder can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(m_path, ec);
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void ExpectGolden(const std::string& name, const std::string& text) {
  const std::string golden =
      (std::filesystem::path(DENSORA_SAMPLES_DIR).parent_path() / "golden" / name).string();
  const char* update = std::getenv("DENSORA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    WriteBytes(golden, std::vector<unsigned char>(text.begin(), text.end()));
    return;
  }
  const std::vector<unsigned char> expected = ReadBytes(golden);
  EXPECT_FALSE(expected.empty()) << golden << ": run with DENSORA_UPDATE_GOLDEN=1 to write it";
  EXPECT_EQ(text, std::string(expected.begin(), expected.end())) << golden;
}

}  // namespace testdata
