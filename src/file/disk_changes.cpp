#include "file/disk_changes.h"

#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/messages.h"

namespace {

// True when a stamp taken now of something last changed at `state`'s time could miss a
// change made in the same tick of the file system's clock.
bool TooSoon(const framework::FileState& state) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto changed =
      std::chrono::seconds(state.mtimeSec) + std::chrono::nanoseconds(state.mtimeNsec);
  return now - changed < CFolderStamps::kSettleTime;
}

}  // namespace

void DiskLook::Read() {
  for (PathState& folder : folders) folder.state = framework::StateOf(folder.path);
  if (record.path.empty()) return;
  record.state = framework::StateOf(record.path);
  if (!recordBytes || record.state != recordStamp) return;
  try {
    recordRewritten = framework::ReadWholeFile(record.path, recordBytes->size()) != *recordBytes;
  } catch (const framework::CFileException&) {
    recordRewritten = true;  // no longer readable as it was: reading it again tells why
  }
}

void CFolderStamps::Take(const std::string& folder) {
  Stamp& s = m_stamps[folder];
  s.state = framework::StateOf(folder);
  s.settled = !s.state || !TooSoon(*s.state);
}

std::vector<std::string> CFolderStamps::Changed(const std::vector<PathState>& found) const {
  std::vector<std::string> changed;
  for (const PathState& folder : found) {
    const auto at = m_stamps.find(folder.path);
    if (at == m_stamps.end() || !at->second.settled || folder.state != at->second.state) {
      changed.push_back(folder.path);
    }
  }
  return changed;
}

void COpenRecordCheck::Plan(DiskLook& look) const {
  const framework::FileStamp& stamp = m_doc.Stamp();
  look.record = {};
  // A record that came from no file, or whose file was never looked at, has nothing to follow.
  if (m_doc.GetPathName().empty() || stamp.path.empty()) return;
  look.record.path = stamp.path;
  look.recordStamp = stamp.state;
  const bool fresh = stamp.path != m_strStampPath || stamp.state != m_stampState;
  if (fresh || !m_bSettled) look.recordBytes = stamp.bytes;
}

std::string COpenRecordCheck::Look() {
  DiskLook look;
  Plan(look);
  look.Read();
  return Apply(look);
}

std::string COpenRecordCheck::Apply(const DiskLook& look) {
  const framework::FileStamp& stamp = m_doc.Stamp();
  const std::string path = m_doc.GetPathName();
  if (path.empty() || stamp.path.empty()) {
    m_strStampPath.clear();
    return {};
  }
  // Read or written here since the look was planned: what it found may be this program's own.
  if (look.record.path != stamp.path || look.recordStamp != stamp.state) return {};
  if (stamp.path != m_strStampPath || stamp.state != m_stampState) {
    m_strStampPath = stamp.path;
    m_stampState = stamp.state;
    m_seen = stamp.state;
    m_bSettled = false;
  }
  // The note names the file as the title bar does: a share's long path would push the
  // rest of it off the status bar.
  const std::string name = framework::FileNameOf(path);
  const std::optional<framework::FileState>& now = look.record.state;
  if (!now) {
    if (!m_seen) return {};
    m_seen = std::nullopt;
    return framework::FormatStock(msg::kNoLongerFound, name);
  }
  if (*now != stamp.state) {
    if (now == m_seen) return {};  // this change was dealt with at an earlier look
  } else {
    // The file stands as stamped. Unless it was written again within the same tick of the
    // file system's clock as the stamp was taken (then only its bytes tell), it is the file
    // the record came from, back again after it was out of reach perhaps.
    m_seen = now;
    if (m_bSettled) return {};
    m_bSettled = !TooSoon(*now);
    if (!look.recordRewritten) return {};
    m_bSettled = true;
  }
  m_seen = now;
  if (m_doc.IsModified()) return {};  // the question of Save decides
  bool read = false;
  std::string refusal;
  {
    framework::CollectingPrompt quiet;
    read = m_doc.OpenFile(path);
    if (!quiet.Texts().empty()) refusal = quiet.Texts().front();
  }
  if (!read) return framework::FormatStock(msg::kNotReadAgain, name) + refusal;
  m_doc.UpdateAllViews(nullptr, kHintRecord);
  return framework::FormatStock(msg::kReadAgain, name);
}
