#include "file/lng_format.h"

#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/messages.h"

namespace {
constexpr const char* kMagic = "lng";
}

void WriteLngRecord(framework::CArchive& ar, CompactionRecord& r) {
  r.m_nVersion = kFileVersion;
  ar.WriteInt32(r.m_nVersion);
  ar.WriteString(kMagic);
  for (const RecordText& t : kRecordTexts) {
    if (!t.afterNumbers) ar.WriteString(r.*t.member);
  }
  ar.WriteDouble(r.m_dMoldWeight);
  ar.WriteDouble(r.m_dMoldVolume);
  ar.WriteInt32(r.m_nPointCount);
  // Within a point the file order is mold+soil, wet, dry.
  for (const auto& p : r.m_pPoints) {
    ar.WriteDouble(p->m_dMoldSoil);
    ar.WriteDouble(p->m_dWetSample);
    ar.WriteDouble(p->m_dDrySample);
  }
  ar.WriteDouble(r.m_dMaxDryDensity);
  ar.WriteDouble(r.m_dOptimumMoisture);
  ar.WriteDouble(r.m_dLongTestDensity);
  ar.WriteDouble(r.m_dLongTestMoisture);
  for (const RecordText& t : kRecordTexts) {
    if (t.afterNumbers) ar.WriteString(r.*t.member);
  }
}

LngReadResult ReadLngRecord(framework::CArchive& ar, CompactionRecord& r, std::int32_t& version) {
  version = ar.ReadInt32();
  // Every version up to the current one, negative numbers included, has this one layout.
  if (version > kFileVersion) return LngReadResult::kNewerVersion;
  if (ar.ReadString() != kMagic) return LngReadResult::kBadMagic;
  r.m_nVersion = version;
  for (const RecordText& t : kRecordTexts) {
    if (!t.afterNumbers) r.*t.member = ar.ReadString();
  }
  r.m_dMoldWeight = ar.ReadDouble();
  r.m_dMoldVolume = ar.ReadDouble();
  r.m_nPointCount = ar.ReadInt32();
  for (auto& p : r.m_pPoints) {
    p->m_dMoldSoil = ar.ReadDouble();
    p->m_dWetSample = ar.ReadDouble();
    p->m_dDrySample = ar.ReadDouble();
  }
  r.m_dMaxDryDensity = ar.ReadDouble();
  r.m_dOptimumMoisture = ar.ReadDouble();
  r.m_dLongTestDensity = ar.ReadDouble();
  r.m_dLongTestMoisture = ar.ReadDouble();
  for (const RecordText& t : kRecordTexts) {
    if (t.afterNumbers) r.*t.member = ar.ReadString();
  }
  return LngReadResult::kOk;
}

std::vector<unsigned char> LngBytes(CompactionRecord& record) {
  std::vector<unsigned char> bytes;
  framework::CArchive ar(&bytes);
  WriteLngRecord(ar, record);
  return bytes;
}

void CDensoraDoc::Serialize(framework::CArchive& ar) {
  if (ar.IsStoring()) {
    WriteLngRecord(ar, m_record);
    return;
  }
  CompactionRecord incoming(m_record);
  std::int32_t version = 0;
  switch (ReadLngRecord(ar, incoming, version)) {
    case LngReadResult::kOk:
      m_record = incoming;
      return;
    case LngReadResult::kNewerVersion:
      framework::AfxMessageBox(msg::kNeedsUpdate, framework::MsgButtons::Ok,
                               framework::MsgIcon::Stop);
      throw framework::CUserException();
    case LngReadResult::kBadMagic:
      framework::AfxMessageBox(msg::kNotCompactionFile, framework::MsgButtons::Ok,
                               framework::MsgIcon::Stop);
      throw framework::CUserException();
  }
}
