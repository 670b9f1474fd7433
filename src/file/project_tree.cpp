#include "file/project_tree.h"

#include <algorithm>
#include <utility>

#include "framework/codepage.h"
#include "framework/file_io.h"
#include "model/compaction_record.h"

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
