#pragma once
// The application object: start-up (settings, projects directory, the document, the main
// frame and the view, the command line, the file-type association) and the About box.
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class CAppCommands;
class COpenRecordCheck;
class CDensoraDoc;
class CRecovery;
class CDensoraView;
class CMainFrame;

namespace framework {
class Prompt;
class Tone;
}  // namespace framework

// What the desktop program's command line asks for.
struct CommandLine {
  enum Action {
    kStart,   // start the program, with `file` open when it is not empty
    kPrint,   // print `text` (the help, the version) on standard output and end with 0
    kRefuse,  // print `text` on standard error and end with 2: an option no one knows
  };
  Action action = kStart;
  QString file;  // the file named, if any: opened at the start
  QString text;
};

// Reads the command line `arguments` (the program's name first): "-h"/"--help" and
// "-v"/"--version" win over anything else; any other option is refused, unless the toolkit
// takes it (-platform, -style), which QApplication takes out of its arguments before they are
// read again; "--" ends the options, so that "densora -- -dash.lng" opens "-dash.lng".
CommandLine ReadCommandLine(const QStringList& arguments);

class QObject;

// The desktop program's whole run, as its main calls it: the help and the version printed
// without a display, the toolkit started, the command line read, the program started and
// run until its main window closes. Returns the process's exit code. `watcher`, when given,
// sees every event of the application from the start (the start-up benchmark's clock).
int RunDensora(int& argc, char** argv, QObject* watcher = nullptr);

class CDensoraApp {
 public:
  struct Options {
    // The chart's warning tone (nullptr: silent).
    framework::Tone* tone = nullptr;
    // Install the message-box prompt; tests keep their own.
    bool installPrompt = true;
    // Write the file-type association, and start the desktop's database tools after it.
    bool registerFileType = true;
    bool runDesktopTools = true;
    // Show the main window.
    bool show = true;
  };

  CDensoraApp();
  ~CDensoraApp();
  CDensoraApp(const CDensoraApp&) = delete;
  CDensoraApp& operator=(const CDensoraApp&) = delete;

  // `arguments` as QCoreApplication::arguments gives them: the program, then an optional
  // file to open (ReadCommandLine). False when the program must end at once (the file could
  // not be opened).
  bool InitInstance(const QStringList& arguments, const Options& options);
  bool InitInstance(const QStringList& arguments) { return InitInstance(arguments, Options{}); }
  // The program's normal end, after the main window closed: the recovery copy goes.
  void ExitInstance();

  // The application's open-document operation: reads the file into the document and, when
  // it was read, makes it the document's path and title, puts it at the top of the
  // recent-file list and gives the view its initial update. A file that was refused leaves
  // everything as it was (the reader has told the user why) and returns false.
  bool OpenDocumentFile(const std::string& path);
  // What follows a successful read: recent-file list, caption, the view's initial update.
  void DocumentOpened(const std::string& path);
  // Drops a file from the recent-file list (one that could not be opened).
  void RemoveRecentFile(const std::string& path);
  const std::vector<std::string>& RecentFiles() const { return m_recentFiles; }

  void OnAppAbout();
  // Tools > Relative Compaction: asks for the laboratory's percentages, keeps them in the
  // settings and redraws the chart with them.
  void OnToolsRelativeCompaction();
  // Writes the .lng association for the running program into the user's data folder,
  // unless an installed package provides it.
  void RegisterFileType();

  // The County list: counties.txt in the projects directory when it holds names, else the
  // list that comes with the program.
  static std::vector<std::string> LoadCounties(const std::string& projectsDir);

  CDensoraDoc& Document() { return *m_pDoc; }
  CMainFrame* MainFrame() const { return m_pFrame.get(); }
  CDensoraView* View() const { return m_pView; }
  CAppCommands* Commands() const { return m_pCommands.get(); }
  CRecovery* Recovery() const { return m_pRecovery.get(); }

  // The projects directory (UTF-8), read at start-up.
  std::string m_strProjectsDir;

 private:
  // Connects the frame's commands to the code that carries them out: the place where the
  // document commands, the tree's commands and printing are plugged in. A command left
  // unconnected tells the user it is not available.
  void ConnectCommands();
  // Starts the recovery copy and offers one left behind; true when a record was recovered.
  bool StartRecovery();
  // Shows a note on the status bar after the one showing, if any: the start's notes (the
  // settings, the recovery copy) all stay readable.
  void ShowNote(const std::string& note);
  // The timer's look at what other programs changed: the tree's open folders and the file
  // of the record on screen, read on a thread of its own, then applied here. One look at a
  // time: while a share does not answer, its look waits and no other starts; one asked for
  // meanwhile runs after it.
  void LookAtDisk();
  // Applies the look under way once it has been read and no dialog waits for an answer.
  void ApplyLookWhenRead();
  // A look's note takes the place of the previous look's on the status bar.
  void ShowLookNote(const std::string& note);
  // The file named on the command line, or a new record. False when the program must end.
  bool OpenStartFile(const QStringList& arguments);

  Options m_options;
  std::unique_ptr<CDensoraDoc> m_pDoc;
  std::unique_ptr<framework::Prompt> m_pPrompt;
  std::unique_ptr<CMainFrame> m_pFrame;
  CDensoraView* m_pView = nullptr;
  std::vector<std::string> m_recentFiles;
  std::unique_ptr<CAppCommands> m_pCommands;
  std::unique_ptr<COpenRecordCheck> m_pRecordCheck;
  struct LookUnderWay;
  std::shared_ptr<LookUnderWay> m_pLook;
  bool m_bLookAgain = false;
  std::string m_strLookNote;  // the last look's note, which the next one replaces
  // Last: it lets go of the document before the document goes.
  std::unique_ptr<CRecovery> m_pRecovery;
};
