#include "file/document_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "framework/codepage.h"
#include "framework/file_error.h"
#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/density_curve.h"

bool g_bTreeStartup = true;

namespace {

namespace fs = std::filesystem;
using framework::AfxMessageBox;
using framework::Cp1252ToUtf8;
using framework::MsgAnswer;
using framework::MsgButtons;
using framework::MsgIcon;

// The program's own messages: an OK button and no icon.
void Tell(const std::string& text) { AfxMessageBox(text, MsgButtons::Ok, MsgIcon::None); }

MsgAnswer Ask(const std::string& text, MsgButtons buttons) {
  return AfxMessageBox(text, buttons, MsgIcon::Stop);
}

bool IsBlankOnly(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

std::string TypeSuffix(const std::string& testType) { return testType.substr(0, 3); }

bool PathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

CDocumentCommands::CDocumentCommands(CDensoraDoc& doc, CDensityCurve& curve,
                                     std::string& projectsDir, CommandHost& host)
    : m_doc(doc), m_curve(curve), m_strProjectsDir(projectsDir), m_host(host) {}

std::string CDocumentCommands::BuildDefaultPath() {
  CompactionRecord& r = m_doc.m_record;
  std::string d = m_strProjectsDir + "/" + Cp1252ToUtf8(r.m_strProject);
  if (!r.m_strTipNo.empty()) {
    if (IsBlankOnly(r.m_strTipNo)) {
      r.m_strTipNo.clear();
    } else {
      d += "/" + Cp1252ToUtf8(r.m_strTipNo);
    }
  }
  d += "/" + Cp1252ToUtf8(r.m_strTestType);
  return d + "/" + Cp1252ToUtf8(r.m_strTestNo + TypeSuffix(r.m_strTestType)) + ".lng";
}

bool CDocumentCommands::StoreRecord(const std::string& path) {
  m_curve.FitRecord();
  CompactionRecord& r = m_doc.m_record;
  const double shown = r.m_dMaxDryDensity;
  r.m_dMaxDryDensity = shown / m_doc.DensityFactor();  // files always hold pcf
  const bool written = m_doc.OnSaveDocument(path);
  r.m_dMaxDryDensity = shown;
  return written;
}

bool CDocumentCommands::CheckNames(bool includeTipNo) {
  const CompactionRecord& r = m_doc.m_record;
  struct Field {
    const char* label;
    const std::string* value;
  };
  std::vector<Field> fields = {{"Project", &r.m_strProject}};
  if (includeTipNo) fields.push_back({"T.I.P. No.", &r.m_strTipNo});
  fields.push_back({"Test Type", &r.m_strTestType});
  fields.push_back({"Test No.", &r.m_strTestNo});
  for (const Field& f : fields) {
    const std::string& v = *f.value;
    // "." and ".." name the folder itself or its parent; a separator adds a level the tree
    // cannot show; a zero byte would cut the name short.
    const bool bad = v == "." || v == ".." || v.find('/') != std::string::npos ||
                     v.find('\\') != std::string::npos || v.find('\0') != std::string::npos;
    if (bad) {
      Tell(std::string(msg::kInvalidNamePrefix) + f.label + msg::kInvalidNameSuffix);
      return false;
    }
  }
  return true;
}

bool CDocumentCommands::MakeFolder(const std::string& folder) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) fs::create_directory(folder, ec);
  if (!fs::exists(folder, ec)) {
    Tell(msg::kCouldNotCreate + folder);
    return false;
  }
  if (!fs::is_directory(folder, ec) || ::access(folder.c_str(), X_OK | W_OK) != 0) {
    Tell(msg::kCouldNotChangeTo + folder);
    return false;
  }
  return true;
}

bool CDocumentCommands::SaveToDerivedPath() {
  CompactionRecord& r = m_doc.m_record;
  if (m_doc.IsRequiredMissing()) {
    Tell(msg::kRequiredMissing);
    return false;
  }
  if (!CheckNames(!IsBlankOnly(r.m_strTipNo) && !r.m_strTipNo.empty())) return false;
  std::string d = m_strProjectsDir + "/" + Cp1252ToUtf8(r.m_strProject);
  if (!MakeFolder(d)) return false;
  if (IsBlankOnly(r.m_strTipNo)) r.m_strTipNo.clear();
  if (!r.m_strTipNo.empty()) {
    d += "/" + Cp1252ToUtf8(r.m_strTipNo);
    if (!MakeFolder(d)) return false;
  }
  d += "/" + Cp1252ToUtf8(r.m_strTestType);
  if (!MakeFolder(d)) return false;
  return StoreRecord(d + "/" + Cp1252ToUtf8(r.m_strTestNo + TypeSuffix(r.m_strTestType)) + ".lng");
}

bool CDocumentCommands::QuerySaveChanges(Command command) {
  if (!m_doc.IsModified()) return true;
  if (m_doc.IsRequiredMissing() && !m_doc.AreRequiredEmpty()) {
    if (Ask(msg::kPartlyFilled, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
    if (command == Command::kChangeProjectsDir) m_doc.SetModifiedFlag(false);
    return true;
  }
  if (m_doc.AreRequiredEmpty()) {
    if (command == Command::kOpen) m_doc.SetModifiedFlag(false);
    return true;
  }
  const bool hasPath = !m_doc.GetPathName().empty();
  const std::string target = hasPath ? m_doc.GetPathName() : BuildDefaultPath();
  switch (Ask(msg::kSaveChangesPrefix + target + "\"?", MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
      // A save the user asked for must have happened before the record is dropped.
      return hasPath ? StoreRecord(target) : SaveToDerivedPath();
    case MsgAnswer::No:
      return true;
    default:
      return false;
  }
}

void CDocumentCommands::OnFileNew() {
  if (!QuerySaveChanges(Command::kNew)) return;
  m_doc.OnNewDocument();
}

bool CDocumentCommands::OpenDocumentFile(const std::string& path) {
  if (!m_doc.OnOpenDocument(path)) {
    m_host.DocumentOpenFailed(path);
    return false;
  }
  m_doc.SetPathName(path);
  m_host.DocumentOpened(path);
  return true;
}

void CDocumentCommands::OnFileOpen() {
  if (!QuerySaveChanges(Command::kOpen)) return;
  const std::optional<std::string> chosen = m_host.AskOpenFileName(m_strProjectsDir);
  if (!chosen || chosen->empty()) return;
  std::string ext = chosen->size() >= 3 ? chosen->substr(chosen->size() - 3) : *chosen;
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext != "lng" && Ask(msg::kIncompatible, MsgButtons::YesNo) != MsgAnswer::Yes) return;
  const bool wasModified = m_doc.IsModified();
  m_doc.SetModifiedFlag(false);
  if (!OpenDocumentFile(*chosen)) {
    m_doc.SetModifiedFlag(wasModified);  // a refused file changes nothing
    return;
  }
  m_doc.UpdateAllViews(nullptr, 1);
}

void CDocumentCommands::OnFileSave() {
  const std::string path = m_doc.GetPathName();
  const bool saved = path.empty() ? SaveToDerivedPath() : StoreRecord(path);
  if (saved) m_doc.UpdateAllViews(nullptr, 0);
}

bool CDocumentCommands::OnClose() { return QuerySaveChanges(Command::kClose); }

bool CDocumentCommands::SaveForRecentFile() {
  const std::string own = m_doc.GetPathName();
  if (!own.empty()) return StoreRecord(own);
  const std::optional<std::string> chosen =
      m_host.AskSaveFileName(m_strProjectsDir + "/" + m_doc.GetTitle() + ".lng");
  if (!chosen || chosen->empty()) return false;
  std::string path = *chosen;
  // A name typed without any extension gets the compaction files' one.
  const std::string name = fs::path(path).filename().string();
  if (name.find('.') == std::string::npos) path += ".lng";
  return StoreRecord(path);
}

void CDocumentCommands::OnOpenRecentFile(const std::string& path) {
  if (m_doc.IsModified()) {
    const std::string name = m_doc.GetPathName().empty() ? m_doc.GetTitle() : m_doc.GetPathName();
    switch (Ask(framework::FormatStock(framework::stock::kSaveChanges, name),
                MsgButtons::YesNoCancel)) {
      case MsgAnswer::Yes:
        if (!SaveForRecentFile()) return;
        break;
      case MsgAnswer::No:
        break;
      default:
        return;
    }
  }
  const bool wasModified = m_doc.IsModified();
  if (!OpenDocumentFile(path)) {
    m_doc.SetModifiedFlag(wasModified);
    return;
  }
  m_doc.UpdateAllViews(nullptr, 1);
}

std::string CDocumentCommands::ItemPath(const std::vector<std::string>& itemTexts) const {
  std::string path = m_strProjectsDir;
  for (const std::string& t : itemTexts) path += "/" + t;
  return path;
}

bool CDocumentCommands::QueryTreeSave() {
  CompactionRecord& r = m_doc.m_record;
  if (m_doc.IsRequiredMissing() && !m_doc.AreRequiredEmpty()) {
    if (Ask(msg::kPartlyFilled, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
    m_doc.SetModifiedFlag(false);
    return true;
  }
  if (m_doc.AreRequiredEmpty()) return true;
  const std::string own = m_doc.GetPathName();
  // Without a path the tree names the file after the whole Test Type: 7Subgrade.lng.
  const std::string name = own.empty() ? Cp1252ToUtf8(r.m_strTestNo + r.m_strTestType) + ".lng" : own;
  if (Ask(msg::kSaveChangesPrefix + name + "\"?", MsgButtons::YesNo) != MsgAnswer::Yes) {
    m_doc.SetModifiedFlag(false);
    return true;
  }
  bool saved;
  if (!own.empty()) {
    saved = StoreRecord(own);
  } else {
    const bool tipLevel = !r.m_strTipNo.empty() && !IsBlankOnly(r.m_strTipNo);
    if (!CheckNames(tipLevel)) return false;
    std::string d = m_strProjectsDir + "/" + Cp1252ToUtf8(r.m_strProject);
    if (!MakeFolder(d)) return false;
    if (tipLevel) {
      d += "/" + Cp1252ToUtf8(r.m_strTipNo);
      if (!MakeFolder(d)) return false;
    }
    d += "/" + Cp1252ToUtf8(r.m_strTestType);
    if (!MakeFolder(d)) return false;
    saved = StoreRecord(d + "/" + name);
  }
  if (!saved) return false;  // the record stays on screen, still modified
  m_doc.UpdateAllViews(nullptr, 1);
  return true;
}

void CDocumentCommands::OnTreeSelect(const std::vector<std::string>& itemTexts, bool hasChildren) {
  if (itemTexts.empty()) return;
  if (m_doc.IsModified() && !QueryTreeSave()) return;
  if (hasChildren) {
    if (!g_bTreeStartup) {
      m_doc.ResetRecord();
      m_doc.ClearPathName();  // a cleared record belongs to no file
    }
    m_doc.UpdateAllViews(nullptr, 1);
    m_doc.SetModifiedFlag(false);
    return;
  }
  const std::string path = ItemPath(itemTexts) + ".lng";
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return;
  if (!m_doc.OnOpenDocument(path)) return;  // reported; the record is as it was
  m_doc.SetPathName(path);
  m_doc.UpdateAllViews(nullptr, 1);
}

void CDocumentCommands::OnFileDelete(const std::vector<std::string>& itemTexts, bool hasChildren) {
  if (itemTexts.empty()) return;
  std::string target = ItemPath(itemTexts);
  // A file item's text can be empty, "." or ".." (files named ".lng", "..lng", "...lng");
  // such a text names no entry of its own: the path without ".lng" would be the folder
  // holding the file, or its parent, and must never be taken for a folder item.
  const std::string& text = itemTexts.back();
  const bool namesAnEntry = !(text.empty() || text == "." || text == "..");
  std::string question;
  if (hasChildren || (namesAnEntry && PathExists(target))) {
    question = msg::kDeleteFolderPrefix + target + msg::kDeleteFolderSuffix;
  } else {
    target += ".lng";
    question = msg::kDeleteFilePrefix + target + "\"?";
  }
  if (Ask(question, MsgButtons::YesNoCancel) != MsgAnswer::Yes) return;
  if (!PathExists(target)) return;
  try {
    DeleteTree(target);
  } catch (const framework::CFileException& e) {
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Stop);
    return;
  }
  m_host.RefreshTree();
}

void CDocumentCommands::OnChangeProjectsDir() {
  const std::optional<std::string> typed = m_host.AskProjectsDirectory();
  if (!typed || typed->empty()) return;
  std::error_code ec;
  if (!fs::exists(*typed, ec)) {
    Tell(msg::kPathDoesNotExist);
    return;
  }
  if (!QuerySaveChanges(Command::kChangeProjectsDir)) return;
  m_doc.OnNewDocument();
  m_host.StoreProjectsDirectory(*typed);
  m_strProjectsDir = *typed;
  m_doc.UpdateAllViews(nullptr, 0);
}

void DeleteTree(const std::string& path) {
  using framework::CFileException;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    throw CFileException(CFileException::CauseFromErrno(errno), path);
  }
  if (S_ISDIR(st.st_mode)) {
    std::error_code ec;
    std::vector<std::string> entries;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      entries.push_back(it->path().string());
    }
    if (ec) throw CFileException(CFileException::CauseFromErrno(ec.value()), path);
    for (const std::string& e : entries) DeleteTree(e);
    if (::rmdir(path.c_str()) != 0) {
      const int err = errno;
      throw CFileException(CFileException::CauseFromErrno(err), err == ENOENT ? path : "");
    }
    return;
  }
  // A file without any write permission is read-only and stays, as a read-only file must.
  if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
    throw CFileException(CFileException::accessDenied, "");
  }
  if (::unlink(path.c_str()) != 0) {
    const int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), err == ENOENT ? path : "");
  }
}
