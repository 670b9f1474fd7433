#pragma once
// The commands that create, open, save and abandon a test, and the ones that work on the
// projects directory: the path rule, the save-changes check and the store step. They reach
// the user only through the prompt and the host's dialogs, and the views only through
// UpdateAllViews, so every path through them runs without a window.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDensoraDoc;
class CDensityCurve;

// True while the program starts: a folder selected in the tree then leaves the record alone.
extern bool g_bTreeStartup;

// A kind of file the export commands write: the title and filter of its save dialog, and the
// extension a name typed without any gets.
struct ExportType {
  const char* title;
  const char* filter;
  const char* extension;
};
inline constexpr ExportType kReportExport{"Export Report as PDF", "PDF files (*.pdf)", ".pdf"};
inline constexpr ExportType kSummaryExport{"Export Project Summary", "CSV files (*.csv)", ".csv"};

// What the commands need from the desktop around them.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The Open dialog, starting in `initialFolder`, filter "Compaction Files (*.lng)".
  // nullopt when the user cancels.
  virtual std::optional<std::string> AskOpenFileName(const std::string& initialFolder) = 0;
  // The Save As dialog, proposing `proposedPath`, filter "Compaction Files (*.lng)".
  // nullopt when the user cancels.
  virtual std::optional<std::string> AskSaveFileName(const std::string& proposedPath) = 0;
  // The save dialog of an export, proposing `proposedPath`, with the type's title and filter.
  // nullopt when the user cancels.
  virtual std::optional<std::string> AskExportFileName(const std::string& proposedPath,
                                                       const ExportType& type) = 0;
  // The Change Projects Directory dialog; nullopt (or empty) on Cancel.
  virtual std::optional<std::string> AskProjectsDirectory() = 0;
  // The folder dialog of Open Sample Tests: the folder to copy the sample tests into;
  // nullopt (or empty) on Cancel.
  virtual std::optional<std::string> AskSamplesFolder() = 0;
  // Remembers the projects directory in the settings.
  virtual void StoreProjectsDirectory(const std::string& folder) = 0;
  // A file was read into the document: add it to the recent-file list, re-initialize the view.
  virtual void DocumentOpened(const std::string& path) = 0;
  // A file could not be read (already reported): e.g. drop it from the recent-file list.
  virtual void DocumentOpenFailed(const std::string& path) = 0;
  // Rebuilds the projects tree.
  virtual void RefreshTree() = 0;
  // A command that reads many files: Progress is called as it starts (0), as it enters each
  // folder and after each file, with the number of files read so far, EndProgress once when
  // the reading is over, before anything is reported. Progress returns false when the user asked to
  // stop: the command then ends there and writes nothing.
  virtual bool Progress(std::size_t filesRead) = 0;
  virtual void EndProgress() = 0;
};

class CompactionRecord;

// The name of a record's file in its Test Type folder: the Test No. and the first three
// letters of the Test Type (7Sub.lng).
std::string DerivedFileName(const CompactionRecord& record);

// The store step of every write of a record: the points recounted, the curve refitted, and
// the file written with the maximum dry density in pcf whatever the units on screen (the
// record in memory keeps the shown value). False when the file was not written (reported).
bool StoreRecord(CDensoraDoc& doc, CDensityCurve& curve, const std::string& path);

// A projects-tree item as the commands see it: the file-system names of its folders from the
// top level down and its own (a file's with its extension), byte for byte, and what it is.
struct TreeItem {
  std::vector<std::string> names;
  bool isFolder = false;
  bool hasChildren = false;
};

class CDocumentCommands {
 public:
  // Which command runs the save-changes check: each treats a few answers differently.
  enum class Command { kNew, kOpen, kClose, kChangeProjectsDir };

  // `curve` is the main form view's curve, which the store step refits. `projectsDir` is
  // the application's projects directory (UTF-8, as typed by the user).
  CDocumentCommands(CDensoraDoc& doc, CDensityCurve& curve, std::string& projectsDir,
                    CommandHost& host);

  // The file path of a record without a document path (UTF-8). A T.I.P. No. made only of
  // blanks is emptied in the record.
  std::string BuildDefaultPath();
  // The save-changes check; true to go on with the command.
  bool QuerySaveChanges(Command command);
  // Recounts, refits and writes the record with its maximum dry density in pcf. True when
  // the file was written. The record keeps the display-unit value in memory.
  bool StoreRecord(const std::string& path);

  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  // The close request: true when the main window may be destroyed.
  bool OnClose();
  // Opening a file of the recent-file list, with its own save question.
  void OnOpenRecentFile(const std::string& path);
  // Reads a file into the document (the file already open is read again), sets the
  // document path and title and tells the host. False when the file was refused, which
  // leaves the document as it was.
  bool OpenDocumentFile(const std::string& path);

  // The projects tree: the selection of an item. A folder with items clears the record; a
  // file is read (a refused one changes nothing); an empty folder does nothing.
  void OnTreeSelect(const TreeItem& item);
  // File Delete on the given tree item: that file or that folder, never a namesake, and
  // never anything that lies outside the projects directory once links are followed.
  void OnFileDelete(const TreeItem& item);
  // File Change Projects Directory.
  void OnChangeProjectsDir();
  // Help Open Sample Tests: the compaction files below `samplesDir` (the sample tests that
  // come with the program) are copied, their folders kept, into a folder the user chooses,
  // which becomes the projects directory as with Change Projects Directory; the first of
  // them in the tree's order is opened, so that a new user sees a test, its curve and the
  // tree at once. A file of the same name already there, with other bytes, is replaced only
  // when the user says so. A file that cannot be read or written is reported, and the
  // projects directory stays as it was.
  void OnOpenSampleTests(const std::string& samplesDir);

  // The path of the entry a tree item stands for.
  std::string ItemPath(const TreeItem& item) const;

  // File Export Report as PDF. The save dialog proposes the record's file name with .pdf in
  // the record's folder (for a record never saved, its derived name in the projects
  // directory); `render` draws the report into memory (empty when it cannot), and the file is
  // replaced whole, or a failure is reported with the file's stock text and what was there
  // stays. The record is refitted as printing refits it; nothing the user entered and not the
  // modified flag change. True when the file was written.
  bool OnExportReport(const std::function<std::vector<unsigned char>()>& render);
  // The file the report's export proposes.
  std::string ProposedReportPath() const;
  // File Export Project Summary of the tree's folder `folder` (no names: the whole projects
  // directory). The save dialog proposes "<folder's name>-summary.csv" in the projects
  // directory; the summary, in CSV and in the document's units, is written into memory while
  // the host hears the progress, and the file is replaced whole. A folder that cannot be
  // summarised, or a file that cannot be written, is reported with its stock text and writes
  // nothing. The files the summary could not read have their message in its error column,
  // and the user is told how many there were. When the user stops the reading, nothing is
  // written and nothing is said. True when the file was written.
  bool OnExportSummary(const TreeItem& folder);

 private:
  // The Test Type folder a record without a document path belongs in (not made). A T.I.P.
  // No. made only of blanks is emptied in the record.
  std::string RecordFolder();
  // The derived-path save of Save and of the save-changes check: required fields, valid
  // names, folders one level at a time, then the store step. False when nothing was written.
  bool SaveToDerivedPath();
  // The derived-path save of a complete record under `fileName` in its Test Type folder:
  // a record the reader would refuse is refused before anything is made, then the folders,
  // the question before replacing another test's file, and the store step.
  bool StoreToDerivedPath(const std::string& fileName);
  // Refuses, naming `path`, a record that could not be read back once written. Reports and
  // returns false.
  bool CheckWritable(const std::string& path);
  // True when a save may write `path`: nothing is there, or the file there is the one this
  // record was read from or last written to; otherwise the user is asked, No by default.
  bool MayReplace(const std::string& path);
  // Creates `folder` when missing and checks it can be entered; reports and returns false.
  bool MakeFolder(const std::string& folder);
  // Checks the names, then makes the record's Project, T.I.P. No. and Test Type folders one
  // level at a time. The Test Type folder, or nullopt when something was reported.
  std::optional<std::string> MakeRecordFolders();
  // Refuses a Project, T.I.P. No., Test Type or Test No. that would leave the folder it
  // belongs in. Reports and returns false.
  bool CheckNames(bool includeTipNo);
  bool QueryTreeSave();
  // False when a folder holding `path` lies, once links are followed, outside the projects
  // directory.
  bool LiesInsideProjects(const std::string& path) const;
  // The save of the recent-file list's question: to the document path, or, for a record
  // that has none, to the file the user names in the Save As dialog.
  bool SaveForRecentFile();
  // Asks for the file of an export, proposing `proposed`; a name typed without any extension
  // gets the type's. nullopt when the user cancels.
  std::optional<std::string> AskExportPath(const std::string& proposed, const ExportType& type);
  // Replaces `path` with `bytes` whole; a failure is reported and leaves what was there.
  bool WriteExport(const std::string& path, const std::vector<unsigned char>& bytes);

  CDensoraDoc& m_doc;
  CDensityCurve& m_curve;
  std::string& m_strProjectsDir;
  CommandHost& m_host;
};
