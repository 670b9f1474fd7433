#include "framework/document.h"

#include <algorithm>
#include <filesystem>

#include "framework/archive.h"
#include "framework/file_error.h"
#include "framework/prompt.h"

namespace framework {

CDocument::CDocument() : m_strTitle("Untitled") {}
CDocument::~CDocument() = default;

bool CDocument::OnNewDocument() {
  // The title stays as it was: a document starts as "Untitled", and only opening a file
  // names it anew.
  DeleteContents();
  m_strPathName.clear();
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

bool CDocument::OnSaveDocument(const std::string& path) {
  std::vector<unsigned char> bytes;
  CArchive ar(&bytes);
  Serialize(ar);
  try {
    WriteFileAtomically(path, bytes);
  } catch (const CFileException& e) {
    AfxMessageBox(e.ErrorText(), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CDocument::Serialize(CArchive&) {}
void CDocument::DeleteContents() {}

bool CDocument::IsModified() const { return m_bModified; }
void CDocument::SetModifiedFlag(bool modified) { m_bModified = modified; }

void CDocument::SetPathName(const std::string& path) {
  m_strPathName = path;
  m_strTitle = std::filesystem::path(path).filename().string();
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
