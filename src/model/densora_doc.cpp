#include "model/densora_doc.h"

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
  r.m_strProject.clear();
  r.m_strTipNo.clear();
  r.m_strCounty.clear();
  r.m_strStation.clear();
  r.m_strTestNo.clear();
  r.m_strDate.clear();
  r.m_strTestType.clear();
  r.m_strTestedBy.clear();
  r.m_strComments.clear();
  r.m_dMoldWeight = 0.0;
  r.m_dLongTestDensity = 0.0;
  r.m_dLongTestMoisture = 0.0;
  r.m_nPointCount = 0;
  for (auto& p : r.m_pPoints) {
    p->m_dMoldSoil = 0.0;
    p->m_dWetSample = 0.0;
    p->m_dDrySample = 0.0;
  }
}

bool CDensoraDoc::IsRequiredMissing() const {
  const CompactionRecord& r = m_record;
  return r.m_strProject.empty() || r.m_strCounty.empty() || r.m_strStation.empty() ||
         r.m_strTestNo.empty() || r.m_strDate.empty() || r.m_strTestType.empty() ||
         r.m_strTestedBy.empty() || r.m_dMoldWeight == 0.0;
}

bool CDensoraDoc::AreRequiredEmpty() const {
  const CompactionRecord& r = m_record;
  return r.m_strProject.empty() && r.m_strCounty.empty() && r.m_strStation.empty() &&
         r.m_strTestNo.empty() && r.m_strDate.empty() && r.m_strTestType.empty() &&
         r.m_strTestedBy.empty() && r.m_dMoldWeight == 0.0;
}

bool CDensoraDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  ResetRecord();
  UpdateAllViews(nullptr, 0);
  SetModifiedFlag(false);
  return true;
}

bool CDensoraDoc::IsModified() const { return CDocument::IsModified(); }
void CDensoraDoc::SetModifiedFlag(bool modified) { CDocument::SetModifiedFlag(modified); }
