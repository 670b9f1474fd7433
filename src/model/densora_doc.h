#pragma once
// The program's one document: the compaction record, the unit system and the unit tables.
#include <string>
#include <vector>

#include "framework/document.h"
#include "model/compaction_record.h"

enum Units { kEnglish = 0, kMetric = 1 };

// What an update of the views says changed. kHintRecord: the record on screen (the pages
// refresh, the projects tree stays as it is); kHintAll: anything, the tree is rebuilt too.
inline constexpr long kHintAll = 0;
inline constexpr long kHintRecord = 1;

class CDensoraDoc : public framework::CDocument {
 public:
  CDensoraDoc();
  ~CDensoraDoc() override;

  // Clears the entered data; keeps the mold volume, the version, the fit results and units.
  void ResetRecord();
  // True when a required text is empty or the mold weight is exactly 0.
  bool IsRequiredMissing() const;
  // True when every required text is empty and the mold weight is exactly 0.
  bool AreRequiredEmpty() const;

  // Dates an undated record today: a new test starts on the day it is entered. A record
  // that has a date text, even one no calendar knows, keeps it. The modified flag stays.
  void DateUndatedRecord();

  // Resets the record and dates it today.
  bool OnNewDocument() override;
  // Writes or reads the record in the .lng layout. A load fills a separate record and the
  // document takes it only once the whole file was read; a refused or broken file leaves
  // the record as it was.
  void Serialize(framework::CArchive& ar) override;
  // Refuses an image that the .lng reader would not read back as this record.
  const char* RefuseImage(const std::vector<unsigned char>& image) override;

  // The unit tables, indexed by m_nUnits.
  double DensityFactor() const { return m_dDensityFactor[m_nUnits]; }
  int AxisStep() const { return m_nAxisStep[m_nUnits]; }
  const std::string& AxisUnit() const { return m_strAxisUnit[m_nUnits]; }
  const std::string& DensityUnit() const { return m_strDensityUnit[m_nUnits]; }
  const std::string& VolumeUnit() const { return m_strVolumeUnit[m_nUnits]; }
  double VolumeFactor() const { return m_dVolumeFactor[m_nUnits]; }

  CompactionRecord m_record;
  double m_dStdMoldVolume[2];
  int m_nUnits = kEnglish;
  // The laboratory's relative-compaction percentages (95, or 90 and 95): a dashed line and a
  // moisture window each on the chart, the report and densora-cli's listings. A setting of
  // the program, not of the test: none until the program or densora-cli gives them.
  std::vector<double> m_dRelativeCompaction;
  std::string m_strAxisUnit[2];
  std::string m_strDensityUnit[2];
  std::string m_strVolumeUnit[2];
  double m_dVolumeFactor[2];
  double m_dDensityFactor[2];
  int m_nAxisStep[2];
};

// Pounds per cubic foot to kilograms per cubic metre.
inline constexpr double kMetricDensityFactor = 16.01761145378001;
