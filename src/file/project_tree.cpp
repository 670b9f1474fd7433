#include "file/project_tree.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "file/lng_format.h"
#include "framework/archive.h"
#include "framework/codepage.h"
#include "framework/document.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/compaction_record.h"
#include "model/messages.h"

namespace {

bool EndsWithLng(const std::string& name) {
  return name.size() >= 3 && name.compare(name.size() - 3, 3, "lng") == 0;
}

}  // namespace

std::vector<ProjectNode> ListFolder(const std::string& folder) {
  struct Entry {
    std::u32string key;
    ProjectNode node;
  };
  std::vector<Entry> entries;
  for (framework::FolderEntry& e : framework::ReadFolder(folder)) {
    ProjectNode node;
    if (e.isFolder) {
      node.text = framework::Utf8ForDisplay(e.name);
      node.isFolder = true;
    } else if (e.isFile && EndsWithLng(e.name)) {
      const std::size_t dot = e.name.rfind('.');
      if (dot != std::string::npos) node.text = framework::Utf8ForDisplay(e.name.substr(0, dot));
    } else {
      continue;
    }
    node.name = std::move(e.name);
    std::u32string key = framework::AlphabeticalKey(node.text);
    entries.push_back(Entry{std::move(key), std::move(node)});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    return a.node.name < b.node.name;
  });
  std::vector<ProjectNode> out;
  out.reserve(entries.size());
  for (Entry& e : entries) out.push_back(std::move(e.node));
  return out;
}

namespace {

// The walk below one top: the folders entered so far, by device and inode.
class TreeWalk {
 public:
  explicit TreeWalk(const std::function<bool(const ProjectStep&)>& visit) : m_visit(visit) {}
  bool Folder(const std::string& folder, const std::string& shown);

 private:
  const std::function<bool(const ProjectStep&)>& m_visit;
  std::set<std::pair<std::uint64_t, std::uint64_t>> m_entered;
};

bool TreeWalk::Folder(const std::string& folder, const std::string& shown) {
  const std::optional<framework::FileIdentity> id = framework::IdentityOf(folder);
  if (!id || !m_entered.insert({id->device, id->inode}).second) return true;
  if (!shown.empty()) {
    try {
      framework::CheckFolder(folder);
    } catch (const framework::CFileException& e) {
      return m_visit(ProjectStep{ProjectStep::kUnreadableFolder, folder, shown, e.ErrorText()});
    }
  }
  // Heard of at each folder too: a walk through folders that hold no tests (a link to the
  // root of the disk) can still be watched and stopped.
  if (!m_visit(ProjectStep{ProjectStep::kFolder, folder, shown, {}})) return false;
  for (const ProjectNode& node : ListFolder(folder)) {
    std::string path = folder;
    path += '/';
    path += node.name;
    std::string below = shown;
    if (!below.empty()) below += '/';
    below += framework::Utf8ForDisplay(node.name);
    const bool goOn = node.isFolder ? Folder(path, below)
                                    : m_visit(ProjectStep{ProjectStep::kFile, path, below, {}});
    if (!goOn) return false;
  }
  return true;
}

}  // namespace

bool WalkProjectTree(const std::string& top,
                     const std::function<bool(const ProjectStep& step)>& visit) {
  return TreeWalk(visit).Folder(top, "");
}

std::string ReadCompactionFile(const std::string& path, CompactionRecord& record) {
  using framework::CFileException;
  std::vector<unsigned char> bytes;
  try {
    bytes = framework::ReadWholeFile(path, framework::CDocument::kMaxFileBytes);
  } catch (const CFileException& e) {
    return e.m_cause == CFileException::tooLarge ? framework::stock::kUnexpectedFormat
                                                 : e.ErrorText();
  }
  if (bytes.empty()) return framework::stock::kUnexpectedFormat;
  try {
    framework::CArchive ar(bytes.data(), bytes.size());
    std::int32_t version = 0;
    switch (ReadLngRecord(ar, record, version)) {
      case LngReadResult::kOk:
        return {};
      case LngReadResult::kNewerVersion:
        return msg::kNeedsUpdate;
      case LngReadResult::kBadMagic:
        return msg::kNotCompactionFile;
    }
  } catch (const framework::CArchiveException&) {
  }
  return framework::stock::kUnexpectedFormat;
}

std::vector<std::string> RecordFolderTexts(const CompactionRecord& r) {
  using framework::Cp1252ToUtf8;
  std::vector<std::string> texts;
  // A record without a Project has no folders of its own to open.
  if (r.m_strProject.empty()) return texts;
  texts.push_back(Cp1252ToUtf8(r.m_strProject));
  // A T.I.P. No. of blanks makes no folder: the save leaves it out.
  const bool blankTip = r.m_strTipNo.find_first_not_of(' ') == std::string::npos;
  if (!blankTip) texts.push_back(Cp1252ToUtf8(r.m_strTipNo));
  if (!r.m_strTestType.empty()) texts.push_back(Cp1252ToUtf8(r.m_strTestType));
  return texts;
}
