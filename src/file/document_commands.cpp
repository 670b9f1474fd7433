#include "file/document_commands.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "file/project_summary.h"
#include "file/project_tree.h"
#include "framework/codepage.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/messages.h"

bool g_bTreeStartup = true;

namespace {

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

// A question whose Yes removes or replaces a file: No is the default, so that a stray Enter
// keeps the data.
MsgAnswer AskBeforeLosing(const std::string& text, MsgButtons buttons) {
  return AfxMessageBox(text, buttons, MsgIcon::Stop, MsgAnswer::No);
}

bool IsBlankOnly(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

// A file name typed without any extension gets `extension`.
std::string WithExtension(std::string path, const std::string& extension) {
  if (framework::FileNameOf(path).find('.') == std::string::npos) path += extension;
  return path;
}

}  // namespace

std::string DerivedFileName(const CompactionRecord& r) {
  // The Test No. and the first three letters of the Test Type: 7Sub.lng.
  return Cp1252ToUtf8(r.m_strTestNo + r.m_strTestType.substr(0, 3)) + ".lng";
}

bool StoreRecord(CDensoraDoc& doc, CDensityCurve& curve, const std::string& path) {
  curve.FitRecord();
  CompactionRecord& r = doc.m_record;
  const double shown = r.m_dMaxDryDensity;
  r.m_dMaxDryDensity = shown / doc.DensityFactor();  // files always hold pcf
  const bool written = doc.OnSaveDocument(path);
  r.m_dMaxDryDensity = shown;
  return written;
}

CDocumentCommands::CDocumentCommands(CDensoraDoc& doc, CDensityCurve& curve,
                                     std::string& projectsDir, CommandHost& host)
    : m_doc(doc), m_curve(curve), m_strProjectsDir(projectsDir), m_host(host) {}

std::string CDocumentCommands::RecordFolder() {
  CompactionRecord& r = m_doc.m_record;
  if (IsBlankOnly(r.m_strTipNo)) r.m_strTipNo.clear();  // blanks make no folder of their own
  std::string d = m_strProjectsDir;
  for (const std::string& folder : RecordFolderTexts(r)) d += "/" + folder;
  return d;
}

std::string CDocumentCommands::BuildDefaultPath() {
  return RecordFolder() + "/" + DerivedFileName(m_doc.m_record);
}

bool CDocumentCommands::StoreRecord(const std::string& path) {
  return ::StoreRecord(m_doc, m_curve, path);
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
    // A name that Windows refuses is refused everywhere, so that a projects directory made
    // here can be opened there.
    const std::string name = &v == &r.m_strTestNo ? DerivedFileName(r) : framework::Cp1252ToUtf8(v);
    if (bad || (!v.empty() && !framework::IsPortableName(name))) {
      Tell(framework::FormatStock(msg::kInvalidName, f.label));
      return false;
    }
  }
  return true;
}

bool CDocumentCommands::MakeFolder(const std::string& folder) {
  using framework::EntryKind;
  if (framework::KindOf(folder) == EntryKind::kNothing) framework::MakeFolder(folder);
  if (framework::KindOf(folder) == EntryKind::kNothing) {
    Tell(framework::FormatPathStock(msg::kCouldNotCreate, folder));
    return false;
  }
  // An existing folder need only let us in: the file is written, or refused, in the last one.
  if (!framework::CanEnter(folder)) {
    Tell(framework::FormatPathStock(msg::kCouldNotChangeTo, folder));
    return false;
  }
  return true;
}

std::optional<std::string> CDocumentCommands::MakeRecordFolders() {
  CompactionRecord& r = m_doc.m_record;
  if (IsBlankOnly(r.m_strTipNo)) r.m_strTipNo.clear();  // blanks make no folder of their own
  if (!CheckNames(!r.m_strTipNo.empty())) return std::nullopt;
  std::string d = m_strProjectsDir;
  for (const std::string& folder : RecordFolderTexts(r)) {
    d += "/" + folder;
    if (!MakeFolder(d)) return std::nullopt;
  }
  return d;
}

bool CDocumentCommands::CheckWritable(const std::string& path) {
  const char* refusal = m_doc.WriteRefusal();
  if (refusal)
    AfxMessageBox(framework::FormatPathStock(refusal, path), MsgButtons::Ok, MsgIcon::Exclamation);
  return refusal == nullptr;
}

bool CDocumentCommands::MayReplace(const std::string& path) {
  // The file this record was read from or last written to is its own; any other file there
  // (a link's target included) is another test's. A folder there is no test: the write
  // reports it.
  const framework::EntryKind there = framework::KindOf(path);
  if (there == framework::EntryKind::kNothing || there == framework::EntryKind::kFolder ||
      m_doc.Stamp().Covers(path)) {
    return true;
  }
  return AskBeforeLosing(framework::FormatPathStock(msg::kReplaceExisting, path),
                         MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool CDocumentCommands::StoreToDerivedPath(const std::string& fileName) {
  // Nothing is made on disk for a record that cannot be written.
  if (!CheckWritable(RecordFolder() + "/" + fileName)) return false;
  const std::optional<std::string> folder = MakeRecordFolders();
  if (!folder) return false;
  const std::string path = *folder + "/" + fileName;
  return MayReplace(path) && StoreRecord(path);
}

bool CDocumentCommands::SaveToDerivedPath() {
  if (m_doc.IsRequiredMissing()) {
    Tell(msg::kRequiredMissing);
    return false;
  }
  return StoreToDerivedPath(DerivedFileName(m_doc.m_record));
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
  switch (Ask(framework::FormatPathStock(msg::kSaveChangesTo, target), MsgButtons::YesNoCancel)) {
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

bool CDocumentCommands::OnFileNewOnePoint(const std::string& familyName, const FamilyKey& key) {
  std::string name, standard, method;
  if (familyName.empty() || !framework::Utf8ToCp1252(familyName, name) ||
      !FamilyProblem(m_doc.m_record.m_ext, name).empty() ||
      !framework::Utf8ToCp1252(key.standard, standard) ||
      !framework::Utf8ToCp1252(key.method, method)) {
    AfxMessageBox(framework::FormatStock(msg::kNoFamilyFolder, familyName), MsgButtons::Ok,
                  MsgIcon::Stop);
    return false;
  }
  if (!QuerySaveChanges(Command::kNew)) return false;
  m_doc.OnNewDocument();
  CompactionRecord& r = m_doc.m_record;
  r.m_strTestType = kOnePointTestType;
  r.m_ext.onePointFamily = name;
  r.m_ext.standard = standard;
  r.m_ext.method = method;
  m_doc.UpdateAllViews(nullptr, kHintRecord);
  return true;
}

bool CDocumentCommands::OpenDocumentFile(const std::string& path) {
  if (!m_doc.OpenFile(path)) {
    m_host.DocumentOpenFailed(path);
    return false;
  }
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
  // A refused file changes nothing, the modified flag included; a file read clears it.
  if (!OpenDocumentFile(*chosen)) return;
  m_doc.UpdateAllViews(nullptr, kHintRecord);
}

void CDocumentCommands::OnFileSave() {
  const std::string path = m_doc.GetPathName();
  const bool saved = path.empty() ? SaveToDerivedPath() : StoreRecord(path);
  if (saved) m_doc.UpdateAllViews(nullptr, kHintAll);
}

bool CDocumentCommands::OnClose() { return QuerySaveChanges(Command::kClose); }

bool CDocumentCommands::SaveForRecentFile() {
  const std::string own = m_doc.GetPathName();
  if (!own.empty()) return StoreRecord(own);
  // The proposed name is the title, with the compaction files' extension unless it has it.
  std::string proposed = m_strProjectsDir + "/" + m_doc.GetTitle();
  std::string ext = framework::ExtensionOf(proposed);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext != ".lng") proposed += ".lng";
  const std::optional<std::string> chosen = m_host.AskSaveFileName(proposed);
  if (!chosen || chosen->empty()) return false;
  return StoreRecord(WithExtension(*chosen, ".lng"));
}

void CDocumentCommands::OnOpenRecentFile(const std::string& path) {
  if (m_doc.IsModified()) {
    const std::string name = m_doc.GetPathName().empty() ? m_doc.GetTitle() : m_doc.GetPathName();
    switch (Ask(framework::FormatPathStock(framework::stock::kSaveChanges, name),
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
  if (!OpenDocumentFile(path)) return;
  m_doc.UpdateAllViews(nullptr, kHintRecord);
}

std::string CDocumentCommands::ItemPath(const TreeItem& item) const {
  std::string path = m_strProjectsDir;
  for (const std::string& name : item.names) path += "/" + name;
  return path;
}

// Answers the tree's own save question. A "No" (or going on with a partly filled record)
// leaves the modified flag for the caller: it drops only once another record replaced this one.
bool CDocumentCommands::QueryTreeSave() {
  const CompactionRecord& r = m_doc.m_record;
  if (m_doc.IsRequiredMissing() && !m_doc.AreRequiredEmpty()) {
    return Ask(msg::kPartlyFilled, MsgButtons::YesNo) == MsgAnswer::Yes;
  }
  if (m_doc.AreRequiredEmpty()) return true;
  const std::string own = m_doc.GetPathName();
  // Without a path the tree names the file after the whole Test Type: 7Subgrade.lng.
  const std::string name =
      own.empty() ? Cp1252ToUtf8(r.m_strTestNo + r.m_strTestType) + ".lng" : own;
  if (Ask(framework::FormatPathStock(msg::kSaveChangesTo, name), MsgButtons::YesNo) !=
      MsgAnswer::Yes)
    return true;
  const bool saved = own.empty() ? StoreToDerivedPath(name) : StoreRecord(own);
  if (!saved) return false;  // the record stays on screen, still modified
  m_doc.UpdateAllViews(nullptr, kHintRecord);
  return true;
}

void CDocumentCommands::OnTreeSelect(const TreeItem& item) {
  if (item.names.empty()) return;
  if (m_doc.IsModified() && !QueryTreeSave()) return;
  if (item.isFolder) {
    if (!item.hasChildren) return;
    if (!g_bTreeStartup) {
      m_doc.ResetRecord();
      m_doc.ClearPathName();  // a cleared record belongs to no file
      m_doc.SetStamp({});
    }
    m_doc.UpdateAllViews(nullptr, kHintRecord);
    m_doc.SetModifiedFlag(false);
    return;
  }
  const std::string path = ItemPath(item);
  if (framework::KindOf(path) != framework::EntryKind::kFile) return;
  // A refused file is reported; the record, its path, its flag and the views stay as they were.
  if (!m_doc.OpenFile(path)) return;
  m_doc.UpdateAllViews(nullptr, kHintRecord);
}

bool CDocumentCommands::LiesInsideProjects(const std::string& path) const {
  // The entry itself may be a link (removing it removes only the link); the folders that
  // hold it must not lead out of the projects directory.
  const std::optional<std::string> root = framework::CanonicalPath(m_strProjectsDir);
  if (!root) return true;  // no projects directory: nothing of it can be deleted anyway
  const std::optional<std::string> folder = framework::CanonicalPath(framework::FolderOf(path));
  if (!folder) return true;  // no such folder: the entry is gone and nothing is deleted
  return framework::LiesWithin(*folder, *root);
}

void CDocumentCommands::OnFileDelete(const TreeItem& item) {
  if (item.names.empty()) return;
  const std::string target = ItemPath(item);
  if (!LiesInsideProjects(target)) {
    AfxMessageBox(framework::FormatPathStock(msg::kOutsideProjects, target), MsgButtons::Ok,
                  MsgIcon::Stop);
    return;
  }
  const std::string question =
      framework::FormatPathStock(item.isFolder ? msg::kDeleteFolder : msg::kDeleteFile, target);
  if (AskBeforeLosing(question, MsgButtons::YesNoCancel) != MsgAnswer::Yes) return;
  const framework::EntryKind kind = framework::KindAt(target);
  if (kind == framework::EntryKind::kNothing) return;  // gone in the meantime
  // A file item never takes a folder with it, whatever came to bear its name since.
  if (!item.isFolder && kind == framework::EntryKind::kFolder) return;
  try {
    framework::DeleteTree(target);
  } catch (const framework::CFileException& e) {
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Stop);
    return;
  }
  m_host.RefreshTree();
}

void CDocumentCommands::OnChangeProjectsDir() {
  const std::optional<std::string> typed = m_host.AskProjectsDirectory();
  if (!typed || typed->empty()) return;
  if (framework::KindOf(*typed) == framework::EntryKind::kNothing) {
    Tell(msg::kPathDoesNotExist);
    return;
  }
  if (!QuerySaveChanges(Command::kChangeProjectsDir)) return;
  m_doc.OnNewDocument();
  m_host.StoreProjectsDirectory(*typed);
  m_strProjectsDir = *typed;
  m_doc.UpdateAllViews(nullptr, kHintAll);
}

namespace {

// `folder`/`name`, or `name` alone below no folder.
std::string Below(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  std::string path = folder;
  path += '/';
  path += name;
  return path;
}

// The compaction files below `folder`, as paths relative to it, in the tree's order.
void CollectTests(const std::string& folder, const std::string& relative,
                  std::vector<std::string>& out) {
  for (const ProjectNode& node : ListFolder(relative.empty() ? folder : Below(folder, relative))) {
    const std::string path = Below(relative, node.name);
    if (node.isFolder) {
      CollectTests(folder, path, out);
    } else {
      out.push_back(path);
    }
  }
}

}  // namespace

void CDocumentCommands::OnOpenSampleTests(const std::string& samplesDir) {
  std::vector<std::string> tests;
  CollectTests(samplesDir, "", tests);
  if (tests.empty()) {
    Tell(framework::FormatPathStock(framework::stock::kNotFound, samplesDir));
    return;
  }
  const std::optional<std::string> chosen = m_host.AskSamplesFolder();
  if (!chosen || chosen->empty()) return;
  if (!QuerySaveChanges(Command::kChangeProjectsDir)) return;
  try {
    for (const std::string& test : tests) {
      const std::vector<unsigned char> bytes =
          framework::ReadWholeFile(Below(samplesDir, test), framework::CDocument::kMaxFileBytes);
      // The test's folders, one level at a time.
      for (std::size_t slash = test.find('/'); slash != std::string::npos;
           slash = test.find('/', slash + 1)) {
        if (!MakeFolder(*chosen + "/" + test.substr(0, slash))) return;
      }
      const std::string target = *chosen + "/" + test;
      if (framework::KindOf(target) != framework::EntryKind::kNothing) {
        const std::optional<std::vector<unsigned char>> there = [&] {
          try {
            return std::optional(
                framework::ReadWholeFile(target, framework::CDocument::kMaxFileBytes));
          } catch (const framework::CFileException&) {
            return std::optional<std::vector<unsigned char>>();
          }
        }();
        if (there == bytes) continue;
        if (AskBeforeLosing(framework::FormatPathStock(msg::kReplaceExisting, target),
                            MsgButtons::YesNo) != MsgAnswer::Yes) {
          continue;
        }
      }
      framework::WriteFileAtomically(target, bytes);
    }
  } catch (const framework::CFileException& e) {
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Stop);
    return;
  }
  m_doc.OnNewDocument();
  m_host.StoreProjectsDirectory(*chosen);
  m_strProjectsDir = *chosen;
  if (OpenDocumentFile(*chosen + "/" + tests.front())) {
    m_doc.UpdateAllViews(nullptr, kHintRecord);
  } else {
    m_doc.UpdateAllViews(nullptr, kHintAll);
  }
}

std::string CDocumentCommands::ProposedReportPath() const {
  const std::string own = m_doc.GetPathName();
  if (!own.empty()) {
    // The record's file with the report's extension in place of its own.
    return own.substr(0, own.size() - framework::ExtensionOf(own).size()) + kReportExport.extension;
  }
  // A record never saved: the name Save would give it, while it has a Test No. or a Type
  // that make a name of one level.
  const CompactionRecord& r = m_doc.m_record;
  const std::string derived = DerivedFileName(r);
  const bool named = (!r.m_strTestNo.empty() || !r.m_strTestType.empty()) &&
                     derived.find('/') == std::string::npos;
  const std::string stem =
      named ? derived.substr(0, derived.size() - std::string(".lng").size()) : m_doc.GetTitle();
  return m_strProjectsDir + "/" + stem + kReportExport.extension;
}

std::optional<std::string> CDocumentCommands::AskExportPath(const std::string& proposed,
                                                            const ExportType& type) {
  const std::optional<std::string> chosen = m_host.AskExportFileName(proposed, type);
  if (!chosen || chosen->empty()) return std::nullopt;
  return WithExtension(*chosen, type.extension);
}

bool CDocumentCommands::WriteExport(const std::string& path,
                                    const std::vector<unsigned char>& bytes) {
  try {
    framework::WriteFileAtomically(path, bytes);
  } catch (const framework::CFileException& e) {
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Stop);
    return false;
  }
  return true;
}

bool CDocumentCommands::OnExportReport(const std::function<std::vector<unsigned char>()>& render) {
  return OnExportPdf(ProposedReportPath(), kReportExport, render);
}

bool CDocumentCommands::OnExportPdf(const std::string& proposed, const ExportType& type,
                                    const std::function<std::vector<unsigned char>()>& render) {
  const std::optional<std::string> path = AskExportPath(proposed, type);
  if (!path) return false;
  const std::vector<unsigned char> pdf = render();
  if (pdf.empty()) {
    AfxMessageBox(framework::FormatPathStock(msg::kReportNotDrawn, *path), MsgButtons::Ok,
                  MsgIcon::Stop);
    return false;
  }
  return WriteExport(*path, pdf);
}

bool CDocumentCommands::OnExportSummary(const TreeItem& folder) {
  std::string root = m_strProjectsDir;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  const std::string dir = folder.names.empty() ? root : ItemPath(folder);
  const std::string name = folder.names.empty() ? framework::FileNameOf(root) : folder.names.back();
  const std::string proposed = m_strProjectsDir + "/" + name + "-summary.csv";
  const std::optional<std::string> path = AskExportPath(proposed, kSummaryExport);
  if (!path) return false;
  std::ostringstream csv;
  std::size_t unread = 0;
  bool goOn = true;
  try {
    goOn = m_host.Progress(0);
    if (goOn) {
      unread = WriteProjectSummary(
          dir, SummaryFormat::kCsv, static_cast<Units>(m_doc.m_nUnits), csv,
          [this, &goOn](std::size_t done) {
            goOn = m_host.Progress(done);
            return goOn;
          },
          m_doc.m_dRelativeCompaction);
    }
  } catch (const framework::CFileException& e) {
    m_host.EndProgress();
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Stop);
    return false;
  }
  m_host.EndProgress();
  if (!goOn) return false;  // stopped by the user: what was read is of no use
  const std::string text = csv.str();
  if (!WriteExport(*path, std::vector<unsigned char>(text.begin(), text.end()))) return false;
  if (unread > 0) {
    const std::string count = std::to_string(unread) + (unread == 1 ? " file" : " files");
    AfxMessageBox(framework::FormatStock(msg::kSummaryUnread, count), MsgButtons::Ok,
                  MsgIcon::Exclamation);
  }
  return true;
}
