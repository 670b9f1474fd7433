#pragma once
// The document: the data of one open file, its path and title, the modified flag, and the
// views that show it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/file_io.h"

namespace framework {

class CArchive;
class CDocument;

// What a file was when this program last read or wrote it: its size, modification time
// and bytes. A save compares it with the file on disk, so that a test another technician
// saved in the meantime is never overwritten without a word.
struct FileStamp {
  // The file as a save reaches it (links followed, absolute); empty: nothing stamped.
  std::string path;
  FileState state;  // its size and modification time then
  std::vector<unsigned char> bytes;

  // Stamps `file` as holding `contents` now. A file that cannot be looked at leaves no stamp.
  void Take(const std::string& file, std::vector<unsigned char> contents);
  // True when a save of `file` writes the stamped file.
  bool Covers(const std::string& file) const;
  // True when the stamped file is no longer what was stamped: its size or modification
  // time differs or, when both agree, its bytes do. A file that is gone has nothing to
  // lose and is not changed; one that can no longer be read is.
  bool ChangedOnDisk() const;
  // Writes or reads the stamp (a recovery copy carries it).
  void Serialize(CArchive& ar);
};

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
  // The open step of every command that reads a file: OnOpenDocument, then, once the file
  // was read, the path and title. A refused file leaves both as they were.
  bool OpenFile(const std::string& path);
  // Reads a document image already in memory, as OnOpenDocument reads a file's bytes: an
  // empty image is refused, a refusal is reported, and success clears the modified flag.
  bool OnOpenImage(const std::vector<unsigned char>& bytes);
  // Writes the document through Serialize to `path`, atomically; on success clears the
  // modified flag. A document that its own reader would refuse (RefuseImage) is not
  // written. When `path` is the file last read or written and someone else has changed it
  // since, asks first (No is the default); a No abandons the save. A refusal or a failure
  // is reported through the prompt, leaves the previous file intact and the modified flag
  // as it was, and returns false.
  virtual bool OnSaveDocument(const std::string& path);
  // Why `image`, the document as Serialize stores it, must not be written: a message with
  // "%1" where the file goes, or nullptr when it may be. A document refuses what its own
  // reader would not read back; this one refuses nothing.
  virtual const char* RefuseImage(const std::vector<unsigned char>& image);
  // RefuseImage of the document as it stands: nullptr when it may be written.
  const char* WriteRefusal();
  // The file last read or written, as it was then.
  const FileStamp& Stamp() const { return m_stamp; }
  void SetStamp(FileStamp stamp) { m_stamp = std::move(stamp); }

  virtual void Serialize(CArchive& ar);
  virtual void DeleteContents();

  virtual bool IsModified() const;
  // Sets the flag and tells the observer, on every call (an edit of a modified record too).
  virtual void SetModifiedFlag(bool modified = true);
  using ModifiedObserver = std::function<void(bool modified)>;
  // One observer; an empty one removes it.
  void SetModifiedObserver(ModifiedObserver observer) { m_modifiedObserver = std::move(observer); }

  const std::string& GetPathName() const { return m_strPathName; }
  // Sets the path and makes the file's name the title.
  void SetPathName(const std::string& path);
  void ClearPathName();
  const std::string& GetTitle() const { return m_strTitle; }
  void SetTitle(const std::string& title);

  void AddView(CView* view);
  void RemoveView(CView* view);
  // Calls OnUpdate of every view but the sender.
  void UpdateAllViews(CView* sender, long hint = 0);

 private:
  std::vector<unsigned char> StoreImage();

  std::string m_strPathName;
  std::string m_strTitle;
  bool m_bModified = false;
  OpenFailure m_lastOpenFailure = OpenFailure::kNone;
  std::vector<CView*> m_views;
  FileStamp m_stamp;
  ModifiedObserver m_modifiedObserver;
};

}  // namespace framework
