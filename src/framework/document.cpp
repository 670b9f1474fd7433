#include "framework/document.h"

#include <algorithm>
#include <optional>

#include "framework/archive.h"
#include "framework/file_io.h"
#include "framework/prompt.h"

namespace framework {

namespace {

// The file a save of `file` writes, named the same whichever way it is reached: links
// followed, absolute. nullopt for a path no save can write (a loop of links).
std::optional<std::string> SaveTarget(const std::string& file) {
  try {
    return NormalPath(ResolveWriteTarget(file));
  } catch (const CFileException&) {
    return std::nullopt;
  }
}

}  // namespace

void FileStamp::Take(const std::string& file, std::vector<unsigned char> contents) {
  *this = FileStamp{};
  const std::optional<std::string> target = SaveTarget(file);
  const std::optional<FileState> now = target ? StateOf(*target) : std::nullopt;
  if (!now) return;
  path = *target;
  state = *now;
  bytes = std::move(contents);
}

bool FileStamp::Covers(const std::string& file) const {
  return !path.empty() && SaveTarget(file) == path;
}

bool FileStamp::ChangedOnDisk() const {
  if (path.empty()) return false;
  const std::optional<FileState> now = StateOf(path);
  // Gone, or out of reach: there is nothing to lose, or the write itself will say why not.
  if (!now) return false;
  if (*now != state) return true;
  // Two writes within one tick of the file system's clock leave the same time; the bytes
  // (a few hundred) tell.
  try {
    return ReadWholeFile(path, bytes.size()) != bytes;
  } catch (const CFileException&) {
    return true;
  }
}

void FileStamp::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteString(path);
    ar.WriteDouble(static_cast<double>(state.size));
    ar.WriteDouble(static_cast<double>(state.mtimeSec));
    ar.WriteInt32(static_cast<std::int32_t>(state.mtimeNsec));
    ar.WriteString(std::string(bytes.begin(), bytes.end()));
    return;
  }
  path = ar.ReadString();
  state.size = static_cast<std::int64_t>(ar.ReadDouble());
  state.mtimeSec = static_cast<std::int64_t>(ar.ReadDouble());
  state.mtimeNsec = ar.ReadInt32();
  const std::string contents = ar.ReadString();
  bytes.assign(contents.begin(), contents.end());
}

CDocument::CDocument() : m_strTitle("Untitled") {}
CDocument::~CDocument() = default;

bool CDocument::OnNewDocument() {
  // The title stays as it was: a document starts as "Untitled", and only opening a file
  // names it anew.
  DeleteContents();
  m_strPathName.clear();
  // A new document was read from no file and written to none: a Save that lands on an
  // existing file replaces another's.
  m_stamp = FileStamp{};
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const std::string& path) {
  m_lastOpenFailure = OpenFailure::kRefused;
  std::vector<unsigned char> bytes;
  try {
    bytes = ReadWholeFile(path, kMaxFileBytes);
  } catch (const CFileException& e) {
    if (e.m_cause == CFileException::tooLarge) {
      AfxMessageBox(stock::kUnexpectedFormat, MsgButtons::Ok, MsgIcon::Exclamation);
      return false;
    }
    m_lastOpenFailure = OpenFailure::kFileError;
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  if (!OnOpenImage(bytes)) return false;
  m_stamp.Take(path, std::move(bytes));
  return true;
}

bool CDocument::OpenFile(const std::string& path) {
  if (!OnOpenDocument(path)) return false;
  SetPathName(path);
  return true;
}

bool CDocument::OnOpenImage(const std::vector<unsigned char>& bytes) {
  m_lastOpenFailure = OpenFailure::kRefused;
  // An empty file holds no document: taking it would give its name to the record on
  // screen, and a later Save would write that record into another test's file.
  if (bytes.empty()) {
    AfxMessageBox(stock::kUnexpectedFormat, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  try {
    CArchive ar(bytes.data(), bytes.size());
    Serialize(ar);
  } catch (const CArchiveException&) {
    AfxMessageBox(stock::kUnexpectedFormat, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  } catch (const CUserException&) {
    return false;
  }
  m_lastOpenFailure = OpenFailure::kNone;
  SetModifiedFlag(false);
  return true;
}

std::vector<unsigned char> CDocument::StoreImage() {
  std::vector<unsigned char> bytes;
  CArchive ar(&bytes);
  Serialize(ar);
  return bytes;
}

const char* CDocument::RefuseImage(const std::vector<unsigned char>&) { return nullptr; }

const char* CDocument::WriteRefusal() { return RefuseImage(StoreImage()); }

bool CDocument::OnSaveDocument(const std::string& path) {
  std::vector<unsigned char> bytes = StoreImage();
  // A file the program could not read back would lose the test: what is on disk stays.
  if (const char* refusal = RefuseImage(bytes)) {
    AfxMessageBox(FormatPathStock(refusal, path), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  // Another technician may have saved this test since it was read or written here.
  if (m_stamp.Covers(path) && m_stamp.ChangedOnDisk() &&
      AfxMessageBox(FormatPathStock(stock::kChangedOnDisk, path), MsgButtons::YesNo, MsgIcon::Stop,
                    MsgAnswer::No) != MsgAnswer::Yes) {
    return false;
  }
  try {
    WriteFileAtomically(path, bytes);
  } catch (const CFileException& e) {
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  m_stamp.Take(path, std::move(bytes));
  SetModifiedFlag(false);
  return true;
}

void CDocument::Serialize(CArchive&) {}
void CDocument::DeleteContents() {}

bool CDocument::IsModified() const { return m_bModified; }
void CDocument::SetModifiedFlag(bool modified) {
  m_bModified = modified;
  if (m_modifiedObserver) m_modifiedObserver(modified);
}

void CDocument::SetPathName(const std::string& path) {
  m_strPathName = path;
  m_strTitle = FileNameOf(path);
}

void CDocument::ClearPathName() {
  m_strPathName.clear();
  m_strTitle = "Untitled";
}

void CDocument::SetTitle(const std::string& title) { m_strTitle = title; }

void CDocument::AddView(CView* view) {
  if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CDocument::RemoveView(CView* view) {
  m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::UpdateAllViews(CView* sender, long hint) {
  // A view may be added or removed while updating; walk a copy.
  const std::vector<CView*> views = m_views;
  for (CView* v : views) {
    if (v != sender) v->OnUpdate(sender, hint);
  }
}

}  // namespace framework
