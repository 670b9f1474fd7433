#include "file/project_tree.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "framework/codepage.h"
#include "framework/file_io.h"
#include "model/compaction_record.h"

namespace {

// The folders from the projects directory down to the one being listed: a link back to any
// of them is shown but not entered, which keeps a looping link from listing for ever, while a
// link to a folder elsewhere in the tree shows that folder's contents as the folder itself does.
using Ancestors = std::set<std::pair<std::uint64_t, std::uint64_t>>;

std::string Folded(const std::string& s) {
  std::string f = s;
  for (char& c : f) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return f;
}

bool EndsWithLng(const std::string& name) {
  return name.size() >= 3 && name.compare(name.size() - 3, 3, "lng") == 0;
}

void Scan(const std::string& folder, std::vector<ProjectNode>& out, Ancestors& ancestors) {
  const std::optional<framework::FileIdentity> id = framework::IdentityOf(folder);
  if (!id) return;
  const std::pair<std::uint64_t, std::uint64_t> key{id->device, id->inode};
  if (!ancestors.insert(key).second) return;
  out = ListFolder(folder);
  for (ProjectNode& n : out) {
    if (n.isFolder) Scan(folder + "/" + n.name, n.children, ancestors);
  }
  ancestors.erase(key);
}

int Find(const std::vector<ProjectNode>& nodes, const std::string& text) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].text == text) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::vector<ProjectNode> ListFolder(const std::string& folder) {
  std::vector<ProjectNode> out;
  struct Entry {
    std::string key;
    ProjectNode node;
  };
  std::vector<Entry> entries;
  for (framework::FolderEntry& e : framework::ReadFolder(folder)) {
    if (e.isFolder) {
      std::string text = framework::Utf8ForDisplay(e.name);
      entries.push_back(
          Entry{Folded(text), ProjectNode{std::move(text), std::move(e.name), true, {}}});
    } else if (e.isFile && EndsWithLng(e.name)) {
      const std::size_t dot = e.name.rfind('.');
      std::string text = dot == std::string::npos
                             ? std::string()
                             : framework::Utf8ForDisplay(e.name.substr(0, dot));
      entries.push_back(
          Entry{Folded(text), ProjectNode{std::move(text), std::move(e.name), false, {}}});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    return a.node.name < b.node.name;
  });
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

std::vector<ProjectNode> ScanProjectsDir(const std::string& root) {
  std::vector<ProjectNode> top;
  Ancestors ancestors;
  Scan(root, top, ancestors);
  return top;
}

std::vector<int> FoldersToOpen(const std::vector<ProjectNode>& top, const CompactionRecord& r) {
  std::vector<int> chain;
  const std::vector<ProjectNode>* level = &top;
  for (const std::string& text : RecordFolderTexts(r)) {
    const int at = Find(*level, text);
    if (at < 0) break;
    chain.push_back(at);
    level = &(*level)[static_cast<std::size_t>(at)].children;
  }
  return chain;
}

std::size_t CountNodes(const std::vector<ProjectNode>& nodes) {
  std::size_t n = nodes.size();
  for (const ProjectNode& c : nodes) n += CountNodes(c.children);
  return n;
}
