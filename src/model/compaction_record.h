#pragma once
// The record of one moisture-density test: project information, the mold, six test-point
// slots, the fit results and the long-test values. Texts hold Windows-1252 bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "model/lab_extension.h"

class CompactionRecord;

// One test point: three weights in grams. The point reads the mold weight and volume from
// the record that owns it.
class TestPoint {
 public:
  explicit TestPoint(const CompactionRecord& record) : m_pRecord(record) {}
  virtual ~TestPoint() = default;
  TestPoint(const TestPoint&) = delete;
  TestPoint& operator=(const TestPoint&) = delete;

  // True when all three weights are exactly 0: an empty slot.
  bool IsEmpty() const;
  // The moisture content as a fraction, (wet − dry) / dry: the dry weight is the divisor.
  double MoistureContent() const;
  // The wet unit weight in pcf: (mold+soil − mold) / volume, grams to pounds.
  double WetUnitWeight() const;
  // The dry unit weight in pcf; 0 when the mold volume is exactly 0.
  double DryUnitWeight() const;

  double m_dDrySample = 0.0;
  double m_dWetSample = 0.0;
  double m_dMoldSoil = 0.0;
  const CompactionRecord& m_pRecord;
};

inline constexpr std::int32_t kFileVersion = 30509;
inline constexpr int kPointSlots = 6;
static_assert(std::tuple_size_v<decltype(LabExtension::excluded)> == kPointSlots);
// Pounds per gram: 1 / 453.6.
inline constexpr double kPoundsPerGram = 0.002204585537918871;

class CompactionRecord {
 public:
  CompactionRecord();
  virtual ~CompactionRecord() = default;
  // Copies the values; each point keeps referring to its own record.
  CompactionRecord(const CompactionRecord& other);
  CompactionRecord& operator=(const CompactionRecord& other);

  TestPoint& Point(int slot) { return *m_pPoints[static_cast<std::size_t>(slot)]; }
  const TestPoint& Point(int slot) const { return *m_pPoints[static_cast<std::size_t>(slot)]; }

  // Counts the present points, stores the count in m_nPointCount and returns the present
  // points in slot order: what every caller of the fit hands it.
  std::vector<const TestPoint*> GatherPresentPoints();
  // True when slot `slot` holds a point the technician left out of the fit, with a reason.
  bool IsExcluded(int slot) const;

  std::int32_t m_nVersion = kFileVersion;
  std::string m_strProject;
  std::string m_strTipNo;
  std::string m_strCounty;
  std::string m_strStation;
  std::string m_strTestNo;
  std::string m_strDate;
  std::string m_strTestType;
  std::string m_strTestedBy;
  double m_dMoldWeight = 0.0;
  double m_dMoldVolume = 0.0;
  std::int32_t m_nPointCount = 0;
  std::array<std::unique_ptr<TestPoint>, kPointSlots> m_pPoints;
  double m_dMaxDryDensity = -1.0;
  double m_dOptimumMoisture = -1.0;
  double m_dLongTestDensity = 0.0;
  double m_dLongTestMoisture = 0.0;
  std::string m_strComments;
  LabExtension m_ext;  // kept in the file's extension block
};

// One text of the record: its key in JSON, its label in messages and listings, whether a
// test can be saved without it, and where the record keeps it.
struct RecordText {
  const char* key;
  const char* label;
  bool required;
  bool afterNumbers;  // the file stores it after the weights and results
  std::string CompactionRecord::*member;
};

// The record's texts in the order the file stores them: the one list that reset, the
// required-field checks, the file format and densora-cli's keys and listing follow. The
// file's plain layout is fixed, so this list is too: a new field is an entry of the
// extension block (kLabEntries).
inline constexpr std::array<RecordText, 9> kRecordTexts = {{
    {"project", "Project", true, false, &CompactionRecord::m_strProject},
    {"tipNo", "T.I.P. No.", false, false, &CompactionRecord::m_strTipNo},
    {"county", "County", true, false, &CompactionRecord::m_strCounty},
    {"station", "Station", true, false, &CompactionRecord::m_strStation},
    {"testNo", "Test No.", true, false, &CompactionRecord::m_strTestNo},
    {"date", "Date", true, false, &CompactionRecord::m_strDate},
    {"testType", "Test Type", true, false, &CompactionRecord::m_strTestType},
    {"testedBy", "Tested by", true, false, &CompactionRecord::m_strTestedBy},
    {"comments", "Comments", false, true, &CompactionRecord::m_strComments},
}};
