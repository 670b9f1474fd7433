#include "file/lng_format.h"

#include <algorithm>
#include <cmath>

#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/messages.h"

namespace {

constexpr const char* kMagic = "lng";
// The extension block begins with the text "lngx" in the archive's form: 04 6C 6E 67 78.
constexpr const char* kBlockTag = "lngx";
constexpr std::int32_t kBlockVersion = 1;
constexpr std::int32_t kMaxBlockEntries = 64;

// The entered known values as entries: a number that is entered (the oversize moisture
// even at 0) and a text that is not empty.
std::vector<ExtensionEntry> KnownEntries(const LabExtension& x) {
  std::vector<ExtensionEntry> out;
  for (const LabField& f : LabFields()) {
    const EntryValue v = f.Get(x);
    if (const auto* number = std::get_if<double>(&v)) out.push_back({f.key, 'D', *number, 0, {}});
    if (const auto* text = std::get_if<std::string>(&v)) out.push_back({f.key, 'S', 0.0, 0, *text});
  }
  return out;
}

bool HasKey(const std::vector<ExtensionEntry>& entries, const std::string& key) {
  return std::any_of(entries.begin(), entries.end(),
                     [&key](const ExtensionEntry& e) { return e.key == key; });
}

void WriteEntry(framework::CArchive& ar, const ExtensionEntry& e) {
  ar.WriteString(e.key);
  ar.WriteByte(static_cast<std::uint8_t>(e.type));
  if (e.type == 'D') ar.WriteDouble(e.number);
  if (e.type == 'S') ar.WriteString(e.text);
  if (e.type == 'I') ar.WriteInt32(e.integer);
}

// The entries of the block in the order they are written: the known ones, then the others.
std::vector<ExtensionEntry> BlockEntries(const LabExtension& x) {
  std::vector<ExtensionEntry> entries = KnownEntries(x);
  // No key is written twice, which the reader refuses: a known key that a file stored with
  // another type was kept as it came, and a value entered for that key since replaces it.
  for (const ExtensionEntry& e : x.unknown) {
    if (!HasKey(entries, e.key)) entries.push_back(e);
  }
  return entries;
}

void WriteExtensionBlock(framework::CArchive& ar, const LabExtension& x) {
  const std::vector<ExtensionEntry> entries = BlockEntries(x);
  if (entries.empty()) return;  // the plain layout, byte for byte
  ar.WriteString(kBlockTag);
  ar.WriteInt32(kBlockVersion);
  ar.WriteInt32(static_cast<std::int32_t>(entries.size()));
  for (const ExtensionEntry& e : entries) WriteEntry(ar, e);
}

[[noreturn]] void Malformed() {
  throw framework::CArchiveException(framework::CArchiveException::endOfFile);
}

ExtensionEntry ReadEntry(framework::CArchive& ar) {
  ExtensionEntry e;
  e.key = ar.ReadString();
  e.type = static_cast<char>(ar.ReadByte());
  if (e.type == 'D') {
    e.number = ar.ReadDouble();
    if (!std::isfinite(e.number)) Malformed();
  } else if (e.type == 'S') {
    e.text = ar.ReadString();
  } else if (e.type == 'I') {
    e.integer = ar.ReadInt32();
  } else {
    Malformed();
  }
  return e;
}

// Puts an entry where it belongs: a known key in its member, anything else kept as it came.
void Take(LabExtension& x, ExtensionEntry e) {
  if (const LabField* f = FindLabField(e.key)) {
    const bool text = f->Type() == EntryType::kText;
    if (!text && e.type == 'D') {
      f->Set(x, e.number);
      return;
    }
    if (text && e.type == 'S') {
      f->Set(x, std::move(e.text));
      return;
    }
  }
  x.unknown.push_back(std::move(e));
}

// Reads the block when the bytes after the comments begin with its tag; other trailing
// bytes are ignored, as they always were. A broken block refuses the whole file, and so
// does a key named twice: one of its values would be lost unseen.
void ReadExtensionBlock(framework::CArchive& ar, LabExtension& x) {
  x = LabExtension{};
  if (!ar.NextBytesAre(std::string("\x04", 1) + kBlockTag)) return;
  ar.ReadString();
  ar.ReadInt32();  // the block's version: every version so far has this one layout
  const std::int32_t count = ar.ReadInt32();
  if (count < 0 || count > kMaxBlockEntries) Malformed();
  std::vector<std::string> keys;
  for (std::int32_t i = 0; i < count; ++i) {
    ExtensionEntry e = ReadEntry(ar);
    if (std::find(keys.begin(), keys.end(), e.key) != keys.end()) Malformed();
    keys.push_back(e.key);
    Take(x, std::move(e));
  }
}

}  // namespace

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
  WriteExtensionBlock(ar, r.m_ext);
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
  ReadExtensionBlock(ar, r.m_ext);
  return LngReadResult::kOk;
}

std::vector<unsigned char> LngBytes(CompactionRecord& record) {
  std::vector<unsigned char> bytes;
  framework::CArchive ar(&bytes);
  WriteLngRecord(ar, record);
  return bytes;
}

const char* LngWriteRefusal(const CompactionRecord& record,
                            const std::vector<unsigned char>& bytes) {
  const std::vector<ExtensionEntry> entries = BlockEntries(record.m_ext);
  if (entries.size() > static_cast<std::size_t>(kMaxBlockEntries)) return msg::kTooManyLabEntries;
  for (const ExtensionEntry& e : entries) {
    if (e.type == 'D' && !std::isfinite(e.number)) return msg::kLabEntryNotFinite;
  }
  if (bytes.size() > framework::CDocument::kMaxFileBytes) return msg::kRecordTooLarge;
  // The last word is the reader's: it must take the very bytes back, as the same record.
  CompactionRecord back;
  try {
    framework::CArchive ar(bytes.data(), bytes.size());
    std::int32_t version = 0;
    if (ReadLngRecord(ar, back, version) != LngReadResult::kOk) return msg::kNotReadBack;
  } catch (const framework::CArchiveException&) {
    return msg::kNotReadBack;
  }
  return LngBytes(back) == bytes ? nullptr : msg::kNotReadBack;
}

const char* CDensoraDoc::RefuseImage(const std::vector<unsigned char>& image) {
  return LngWriteRefusal(m_record, image);
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
