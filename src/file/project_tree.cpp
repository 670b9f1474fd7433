#include "file/project_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

#include "framework/codepage.h"
#include "model/compaction_record.h"

namespace {

// The folders from the projects directory down to the one being listed: a link back to any
// of them is shown but not entered, which keeps a looping link from listing for ever, while a
// link to a folder elsewhere in the tree shows that folder's contents as the folder itself does.
using Ancestors = std::set<std::pair<dev_t, ino_t>>;

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

// What an entry is, asking the file system only where the folder listing does not say
// (links, and file systems that leave the type out).
void Classify(const std::string& folder, const dirent& e, bool& isDir, bool& isFile) {
  isDir = e.d_type == DT_DIR;
  isFile = e.d_type == DT_REG;
  if (e.d_type == DT_DIR || e.d_type == DT_REG) return;
  struct stat st {};
  if (::stat((folder + "/" + e.d_name).c_str(), &st) == 0) {
    isDir = S_ISDIR(st.st_mode);
    isFile = S_ISREG(st.st_mode);
  }
}

void Scan(const std::string& folder, std::vector<ProjectNode>& out, Ancestors& ancestors) {
  struct stat self {};
  if (::stat(folder.c_str(), &self) != 0) return;
  const std::pair<dev_t, ino_t> key{self.st_dev, self.st_ino};
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
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return out;
  struct Entry {
    std::string key;
    ProjectNode node;
  };
  std::vector<Entry> entries;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool isDir = false;
    bool isFile = false;
    Classify(folder, *e, isDir, isFile);
    if (isDir) {
      std::string text = framework::Utf8ForDisplay(name);
      entries.push_back(Entry{Folded(text), ProjectNode{std::move(text), name, true, {}}});
    } else if (isFile && EndsWithLng(name)) {
      const std::size_t dot = name.rfind('.');
      std::string text =
          dot == std::string::npos ? std::string() : framework::Utf8ForDisplay(name.substr(0, dot));
      entries.push_back(Entry{Folded(text), ProjectNode{std::move(text), name, false, {}}});
    }
  }
  ::closedir(dir);
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
  if (!r.m_strTipNo.empty()) texts.push_back(Cp1252ToUtf8(r.m_strTipNo));
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
