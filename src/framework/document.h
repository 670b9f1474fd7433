#pragma once
// The document: the data of one open file, its path and title, the modified flag, and the
// views that show it.
#include <cstddef>
#include <string>
#include <vector>

namespace framework {

class CArchive;
class CDocument;

// Thrown by a document's Serialize after it has told the user why a file was refused;
// the open then fails without a further message.
class CUserException {};

class CView {
 public:
  virtual ~CView() = default;
  // `sender` is the view that caused the change (or nullptr); `hint` says what changed.
  virtual void OnUpdate(CView* sender, long hint) = 0;
};

class CDocument {
 public:
  // The largest document file read: real ones are a few hundred bytes, and a larger file
  // must not freeze the program or exhaust its memory.
  static constexpr std::size_t kMaxFileBytes = 16u << 20;

  CDocument();
  virtual ~CDocument();
  CDocument(const CDocument&) = delete;
  CDocument& operator=(const CDocument&) = delete;

  // Clears the contents, the path and the modified flag; the title is left as it is.
  virtual bool OnNewDocument();
  // How the last OnOpenDocument failed: the file could not be read at all (missing,
  // unreadable, not a file), or it was read and refused as no document of this kind.
  enum class OpenFailure { kNone, kFileError, kRefused };

  // Reads the file into the document through Serialize. An empty file, and one larger than
  // kMaxFileBytes, is refused as not a document. A failure is reported through the prompt
  // and returns false. On success the modified flag is cleared; the path is left to the
  // caller (SetPathName).
  virtual bool OnOpenDocument(const std::string& path);
  OpenFailure LastOpenFailure() const { return m_lastOpenFailure; }
  // Writes the document through Serialize to `path`, atomically; on success clears the
  // modified flag. A failure is reported through the prompt, leaves the previous file
  // intact and the modified flag as it was, and returns false.
  virtual bool OnSaveDocument(const std::string& path);

  virtual void Serialize(CArchive& ar);
  virtual void DeleteContents();

  virtual bool IsModified() const;
  virtual void SetModifiedFlag(bool modified = true);

  const std::string& GetPathName() const { return m_strPathName; }
  // Sets the path and makes the file's name the title.
  void SetPathName(const std::string& path);
  void ClearPathName();
  const std::string& GetTitle() const { return m_strTitle; }
  void SetTitle(const std::string& title);

  void AddView(CView* view);
  void RemoveView(CView* view);
  const std::vector<CView*>& Views() const { return m_views; }
  // Calls OnUpdate of every view but the sender.
  void UpdateAllViews(CView* sender, long hint = 0);

 private:
  std::string m_strPathName;
  std::string m_strTitle;
  bool m_bModified = false;
  OpenFailure m_lastOpenFailure = OpenFailure::kNone;
  std::vector<CView*> m_views;
};

}  // namespace framework
