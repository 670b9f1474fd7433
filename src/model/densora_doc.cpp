#include "model/densora_doc.h"

#include <algorithm>

#include "model/page_rules.h"

CDensoraDoc::CDensoraDoc()
    : m_dStdMoldVolume{1.0 / 30.0, 0.000944},
      m_strAxisUnit{"   (pcf)", " (kg/m\xB3)"},
      m_strDensityUnit{" pcf", "kg/m\xB3"},
      m_strVolumeUnit{"(ft\xB3)", " (m\xB3)"},
      m_dVolumeFactor{1.0, 0.02832},
      m_dDensityFactor{1.0, kMetricDensityFactor},
      m_nAxisStep{1, 20} {
  m_record.m_dMoldVolume = 1.0 / 30.0;
}

CDensoraDoc::~CDensoraDoc() = default;

void CDensoraDoc::ResetRecord() {
  CompactionRecord& r = m_record;
  for (const RecordText& t : kRecordTexts) (r.*t.member).clear();
  r.m_dMoldWeight = 0.0;
  r.m_dLongTestDensity = 0.0;
  r.m_dLongTestMoisture = 0.0;
  r.m_nPointCount = 0;
  for (auto& p : r.m_pPoints) {
    p->m_dMoldSoil = 0.0;
    p->m_dWetSample = 0.0;
    p->m_dDrySample = 0.0;
  }
  // A point's exclusion goes with its weights: the next test fits every point it is given.
  r.m_ext.excluded = {};
}

bool CDensoraDoc::IsRequiredMissing() const {
  const CompactionRecord& r = m_record;
  return r.m_dMoldWeight == 0.0 ||
         std::any_of(kRecordTexts.begin(), kRecordTexts.end(),
                     [&](const RecordText& t) { return t.required && (r.*t.member).empty(); });
}

bool CDensoraDoc::AreRequiredEmpty() const {
  const CompactionRecord& r = m_record;
  return r.m_dMoldWeight == 0.0 &&
         std::all_of(kRecordTexts.begin(), kRecordTexts.end(),
                     [&](const RecordText& t) { return !t.required || (r.*t.member).empty(); });
}

void CDensoraDoc::DateUndatedRecord() {
  if (m_record.m_strDate.empty()) m_record.m_strDate = pages::TodaysRecordDate();
}

bool CDensoraDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  ResetRecord();
  DateUndatedRecord();
  UpdateAllViews(nullptr, kHintAll);
  SetModifiedFlag(false);
  return true;
}
