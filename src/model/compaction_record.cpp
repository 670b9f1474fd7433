#include "model/compaction_record.h"

bool TestPoint::IsEmpty() const {
  return m_dMoldSoil == 0.0 && m_dWetSample == 0.0 && m_dDrySample == 0.0;
}

double TestPoint::MoistureContent() const { return (m_dWetSample - m_dDrySample) / m_dDrySample; }

double TestPoint::WetUnitWeight() const {
  return (m_dMoldSoil - m_pRecord.m_dMoldWeight) / m_pRecord.m_dMoldVolume * kPoundsPerGram;
}

double TestPoint::DryUnitWeight() const {
  if (m_pRecord.m_dMoldVolume == 0.0) return 0.0;
  return WetUnitWeight() / (MoistureContent() + 1.0);
}

CompactionRecord::CompactionRecord() {
  for (auto& p : m_pPoints) p = std::make_unique<TestPoint>(*this);
}

CompactionRecord::CompactionRecord(const CompactionRecord& other) : CompactionRecord() {
  *this = other;
}

CompactionRecord& CompactionRecord::operator=(const CompactionRecord& other) {
  if (this == &other) return *this;
  m_nVersion = other.m_nVersion;
  m_strProject = other.m_strProject;
  m_strTipNo = other.m_strTipNo;
  m_strCounty = other.m_strCounty;
  m_strStation = other.m_strStation;
  m_strTestNo = other.m_strTestNo;
  m_strDate = other.m_strDate;
  m_strTestType = other.m_strTestType;
  m_strTestedBy = other.m_strTestedBy;
  m_dMoldWeight = other.m_dMoldWeight;
  m_dMoldVolume = other.m_dMoldVolume;
  m_nPointCount = other.m_nPointCount;
  for (std::size_t i = 0; i < m_pPoints.size(); ++i) {
    m_pPoints[i]->m_dDrySample = other.m_pPoints[i]->m_dDrySample;
    m_pPoints[i]->m_dWetSample = other.m_pPoints[i]->m_dWetSample;
    m_pPoints[i]->m_dMoldSoil = other.m_pPoints[i]->m_dMoldSoil;
  }
  m_dMaxDryDensity = other.m_dMaxDryDensity;
  m_dOptimumMoisture = other.m_dOptimumMoisture;
  m_dLongTestDensity = other.m_dLongTestDensity;
  m_dLongTestMoisture = other.m_dLongTestMoisture;
  m_strComments = other.m_strComments;
  m_ext = other.m_ext;
  return *this;
}

std::vector<const TestPoint*> CompactionRecord::GatherPresentPoints() {
  std::vector<const TestPoint*> present;
  for (const auto& p : m_pPoints) {
    if (!p->IsEmpty()) present.push_back(p.get());
  }
  m_nPointCount = static_cast<std::int32_t>(present.size());
  return present;
}

bool CompactionRecord::IsExcluded(int slot) const {
  return !m_ext.excluded[static_cast<std::size_t>(slot)].empty() && !Point(slot).IsEmpty();
}
