#include "app/densora_app.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/about_dialog.h"
#include "app/app_commands.h"
#include "app/file_association.h"
#include "app/main_frame.h"
#include "app/recovery.h"
#include "app/relative_compaction_dlg.h"
#include "app/resource.h"
#include "app/settings.h"
#include "file/disk_changes.h"
#include "file/document_commands.h"
#include "framework/codepage.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "framework/qt/qt_prompt.h"
#include "framework/qt/qt_tone.h"
#include "model/densora_doc.h"
#include "model/page_rules.h"
#include "views/densora_view.h"
#include "views/project_tree.h"

// The resources are built into the library; this pulls them into every program that uses it.
static void InitDensoraResources() { Q_INIT_RESOURCE(densora); }

namespace {

// A county list is a few kilobytes; a huge file in its place must not stall the start.
constexpr std::size_t kMaxCountyListBytes = 1 << 20;

// The projects directory's own county list, read like any file of the program: a regular
// file within its bound, or nothing.
std::string ReadOwnCounties(const std::string& path) {
  try {
    const std::vector<unsigned char> bytes = framework::ReadWholeFile(path, kMaxCountyListBytes);
    return std::string(bytes.begin(), bytes.end());
  } catch (const framework::CFileException&) {
    return {};
  }
}

// Runs `then` once the window has been put on the screen and painted for the first time, and
// then lets go of the window.
class AfterFirstExposure : public QObject {
 public:
  AfterFirstExposure(QWindow* window, std::function<void()> then)
      : QObject(window), m_then(std::move(then)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      watched->removeEventFilter(this);
      // Queued, so that the exposure's paint comes first.
      QTimer::singleShot(0, this, [this] {
        m_then();
        deleteLater();
      });
    }
    return false;
  }

 private:
  std::function<void()> m_then;
};

std::string ReadResource(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
}  // namespace

CDensoraApp::CDensoraApp() = default;

CDensoraApp::~CDensoraApp() {
  // The frame owns the view; both go before the document they show. The tree says nothing
  // more while it goes.
  if (m_pView) m_pView->Tree().blockSignals(true);
  m_pFrame.reset();
  if (m_pPrompt) framework::SetPrompt(nullptr);
}

std::vector<std::string> CDensoraApp::LoadCounties(const std::string& projectsDir) {
  InitDensoraResources();
  std::vector<std::string> names =
      pages::ParseCountyList(ReadOwnCounties(projectsDir + "/counties.txt"));
  if (!names.empty()) return names;
  return pages::ParseCountyList(ReadResource(QStringLiteral(":/densora/counties.txt")));
}

CommandLine ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Prints this help and ends."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Prints the version and ends."));
  parser.addOption(help);
  parser.addOption(version);
  parser.setApplicationDescription(
      QStringLiteral("Records, charts and prints soil compaction (moisture-density) tests.\n"
                     "The Qt toolkit's own options (-platform, -style) are taken too; \"--\"\n"
                     "ends the options, so that a file may begin with \"-\"."));
  parser.addPositionalArgument(QStringLiteral("FILE.lng"),
                               QStringLiteral("The test to open; without it, a new record."),
                               QStringLiteral("[FILE.lng]"));
  const bool known = parser.parse(arguments);
  CommandLine line;
  if (parser.isSet(help)) {
    // The usage line names the program as it is installed, not as it was started.
    const QString text = parser.helpText();
    line.action = CommandLine::kPrint;
    line.text = QStringLiteral("Usage: densora [options] [FILE.lng]") +
                text.mid(std::max<qsizetype>(text.indexOf(u'\n'), 0));
  } else if (parser.isSet(version)) {
    line.action = CommandLine::kPrint;
    line.text = QStringLiteral("densora " DENSORA_VERSION "\n");
  } else if (!known) {
    QStringList options;
    for (const QString& name : parser.unknownOptionNames()) {
      options << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    }
    line.action = CommandLine::kRefuse;
    line.text = (options.isEmpty() ? parser.errorText()
                                   : QStringLiteral("unknown option ") + options.join(u' ')) +
                QStringLiteral("; see densora --help\n");
    line.text.prepend(QStringLiteral("densora: "));
  }
  if (line.action != CommandLine::kPrint && !parser.positionalArguments().isEmpty()) {
    line.file = parser.positionalArguments().front();
  }
  return line;
}

namespace {

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

}  // namespace

int RunDensora(int& argc, char** argv, QObject* watcher) {
  // The help and the version are printed before the toolkit starts, so that they need no
  // display and open no window. The toolkit's own options are still among the words here:
  // whether an option is known is decided once the toolkit has taken them out.
  QStringList words;
  for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  if (const CommandLine early = ReadCommandLine(words); early.action == CommandLine::kPrint) {
    Print(stdout, early.text);
    return 0;
  }
  QApplication qapp(argc, argv);
  if (watcher) qapp.installEventFilter(watcher);
  if (const CommandLine line = ReadCommandLine(QApplication::arguments());
      line.action == CommandLine::kRefuse) {
    Print(stderr, line.text);
    return 2;
  }
  // The desktop entry the window belongs to (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.vollin.densora"));
  // The record's numbers are written and read with a decimal point whatever the user's
  // language: Qt takes the locale from the environment, so numbers go back to "C".
  std::setlocale(LC_NUMERIC, "C");
  framework::QtTone tone;
  CDensoraApp app;
  CDensoraApp::Options options;
  options.tone = &tone;
  if (!app.InitInstance(QApplication::arguments(), options)) return 1;
  const int code = QApplication::exec();
  app.ExitInstance();
  return code;
}

bool CDensoraApp::InitInstance(const QStringList& arguments, const Options& options) {
  m_options = options;
  QCoreApplication::setOrganizationName(QStringLiteral("Vollin"));
  QCoreApplication::setApplicationName(QStringLiteral("Densora"));

  // Said once the window is shown: the settings that cannot be kept are the defaults.
  const std::string settingsNote = settings::Note();
  m_strProjectsDir = settings::ReadProjectsDir();
  settings::EnsureProjectsDir(m_strProjectsDir);
  m_recentFiles = settings::ReadRecentFiles();

  // The document, the frame and the view.
  m_pDoc = std::make_unique<CDensoraDoc>();
  m_pDoc->m_dRelativeCompaction = settings::ReadRelativeCompaction();
  m_pFrame = std::make_unique<CMainFrame>(*m_pDoc);
  if (!m_pFrame->OnCreate()) return false;
  if (options.installPrompt) {
    m_pPrompt = std::make_unique<framework::QtPrompt>(m_pFrame.get());
    framework::SetPrompt(m_pPrompt.get());
  }
  ViewOptions viewOptions;
  viewOptions.counties = LoadCounties(m_strProjectsDir);
  viewOptions.tone = options.tone;
  viewOptions.evaluateOnePoint = [this](CompactionRecord& record) {
    return m_pCommands ? m_pCommands->EvaluateOnePoint(record) : OnePointEvaluation{};
  };
  m_pView = new CDensoraView(*m_pDoc, std::move(viewOptions));
  m_pFrame->SetView(m_pView);
  // The end of the view's first initial update ends the tree's start-up state.
  m_pView->Tree().SetStartupEnded([] { g_bTreeStartup = false; });
  m_pFrame->SetRecentFiles(m_recentFiles);
  ConnectCommands();
  // A test a crash left unsaved comes first; recovered, it wins over a file named on the
  // command line, which the user can still open.
  if (!StartRecovery() && !OpenStartFile(arguments)) return false;

  if (options.show) {
    m_pFrame->show();
    // Shown, the window has its frame: the place and size count it.
    m_pView->PlaceMainWindow();
    m_pFrame->repaint();
  }
  // The note waits for the window: a status-bar message given before the window is shown
  // leaves "Ready" showing through it.
  if (!settingsNote.empty()) ShowNote(settingsNote);
  m_pRecovery->SetNoteHandler([this](const std::string& note) { ShowNote(note); });
  m_pRecordCheck = std::make_unique<COpenRecordCheck>(*m_pDoc);
  m_pFrame->SetLookHandler([this] { LookAtDisk(); });
  // The association may wait: its files and the desktop's tools are for the next start, so
  // they come after the window is first on the screen rather than before.
  if (options.registerFileType) {
    QWindow* window = options.show ? m_pFrame->windowHandle() : nullptr;
    if (window != nullptr && !window->isExposed()) {
      new AfterFirstExposure(window, [this] { RegisterFileType(); });
    } else {
      RegisterFileType();
    }
  }
  return true;
}

// A look being read on its own thread, which shares it with the window until it is done.
struct CDensoraApp::LookUnderWay {
  DiskLook look;
  std::atomic<bool> read{false};
};

void CDensoraApp::LookAtDisk() {
  // A look asked for while one is under way follows it: it may have been read before the
  // change that made the window active.
  if (m_pLook) {
    m_bLookAgain = true;
    return;
  }
  m_pLook = std::make_shared<LookUnderWay>();
  for (std::string& path : m_pView->Tree().OpenFolderPaths())
    m_pLook->look.folders.push_back({std::move(path), {}});
  m_pRecordCheck->Plan(m_pLook->look);
  // Never joined: a thread held up by a share that does not answer must not hold up the end
  // of the program either.
  std::thread([under = m_pLook] {
    under->look.Read();
    under->read.store(true, std::memory_order_release);
  }).detach();
  ApplyLookWhenRead();
}

void CDensoraApp::ApplyLookWhenRead() {
  constexpr int kPollMs = 50;
  QTimer::singleShot(kPollMs, m_pFrame.get(), [this] {
    if (!m_pLook->read.load(std::memory_order_acquire) || QApplication::activeModalWidget()) {
      ApplyLookWhenRead();
      return;
    }
    const std::shared_ptr<LookUnderWay> done = std::exchange(m_pLook, nullptr);
    m_pView->Tree().ApplyLook(done->look.folders);
    const std::string note = m_pRecordCheck->Apply(done->look);
    if (!note.empty()) ShowLookNote(note);
    if (std::exchange(m_bLookAgain, false)) LookAtDisk();
  });
}

void CDensoraApp::ShowLookNote(const std::string& note) {
  QStatusBar* bar = m_pFrame->statusBar();
  const QString previous = QString::fromStdString(framework::Utf8ForDisplay(m_strLookNote));
  QString text = bar->currentMessage();
  if (!m_strLookNote.empty() && text.endsWith(previous)) {
    text.chop(previous.size());
    bar->showMessage(text.trimmed());
  }
  m_strLookNote = note;
  ShowNote(note);
}

void CDensoraApp::ShowNote(const std::string& note) {
  QStatusBar* bar = m_pFrame->statusBar();
  QString text = bar->currentMessage();
  if (!text.isEmpty()) text += QStringLiteral("  ");
  bar->showMessage(text + QString::fromStdString(framework::Utf8ForDisplay(note)));
}

bool CDensoraApp::OpenStartFile(const QStringList& arguments) {
  // The command line: nothing for a new record, or the file to open.
  const QString file = ReadCommandLine(arguments).file;
  const bool opened =
      !file.isEmpty() && OpenDocumentFile(QFileInfo(file).absoluteFilePath().toStdString());
  if (!opened) {
    // A file that could not be read at all ends the program; one the reader refused was
    // reported, and the program starts with a new record instead.
    if (!file.isEmpty() && m_pDoc->LastOpenFailure() != CDensoraDoc::OpenFailure::kRefused) {
      return false;
    }
    m_pDoc->OnNewDocument();
    m_pView->OnInitialUpdate();
    m_pFrame->UpdateFrameTitle();
  }
  return true;
}

bool CDensoraApp::StartRecovery() {
  m_pRecovery = std::make_unique<CRecovery>(*m_pDoc, CRecovery::DefaultFolder());
  m_pRecovery->Start();
  if (!m_pRecovery->OfferLeftCopy()) return false;
  m_pView->OnInitialUpdate();
  m_pFrame->UpdateFrameTitle();
  // Shown, the record is still one with changes that are not saved.
  m_pDoc->SetModifiedFlag(true);
  return true;
}

void CDensoraApp::ExitInstance() {
  if (m_pRecovery) m_pRecovery->Exit();
}

void CDensoraApp::ConnectCommands() {
  m_pFrame->SetCommandHandler(ID_APP_ABOUT, [this] { OnAppAbout(); });
  m_pFrame->SetCommandHandler(ID_TOOLS_RELATIVE_COMPACTION,
                              [this] { OnToolsRelativeCompaction(); });
  m_pCommands = std::make_unique<CAppCommands>(*this);
  m_pCommands->Connect();
}

bool CDensoraApp::OpenDocumentFile(const std::string& path) {
  if (!m_pDoc->OpenFile(path)) return false;
  DocumentOpened(path);
  return true;
}

void CDensoraApp::DocumentOpened(const std::string& path) {
  m_recentFiles.erase(std::remove(m_recentFiles.begin(), m_recentFiles.end(), path),
                      m_recentFiles.end());
  m_recentFiles.insert(m_recentFiles.begin(), path);
  if (m_recentFiles.size() > static_cast<std::size_t>(kRecentFileCount)) {
    m_recentFiles.resize(static_cast<std::size_t>(kRecentFileCount));
  }
  settings::WriteRecentFiles(m_recentFiles);
  m_pFrame->SetRecentFiles(m_recentFiles);
  m_pFrame->UpdateFrameTitle();
  m_pView->OnInitialUpdate();
}

void CDensoraApp::RemoveRecentFile(const std::string& path) {
  const auto before = m_recentFiles.size();
  m_recentFiles.erase(std::remove(m_recentFiles.begin(), m_recentFiles.end(), path),
                      m_recentFiles.end());
  if (m_recentFiles.size() == before) return;
  settings::WriteRecentFiles(m_recentFiles);
  m_pFrame->SetRecentFiles(m_recentFiles);
}

void CDensoraApp::OnAppAbout() {
  CAboutDlg dlg(m_pFrame.get());
  dlg.exec();
}

void CDensoraApp::OnToolsRelativeCompaction() {
  CRelativeCompactionDlg dlg(m_pDoc->m_dRelativeCompaction, m_pFrame.get());
  if (dlg.exec() != QDialog::Accepted) return;
  m_pDoc->m_dRelativeCompaction = dlg.m_percents;
  settings::WriteRelativeCompaction(dlg.m_percents);
  // The chart shows the new lines at once; the test itself has not changed.
  m_pDoc->UpdateAllViews(nullptr, kHintRecord);
}

void CDensoraApp::RegisterFileType() {
#ifdef Q_OS_WIN
  // The three keys of the .lng type, for this user: Windows merges them into the classes
  // every program sees, and a normal user may not write the machine's own. Unchecked: without
  // them the program runs as before.
  const QString exe = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
  QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"),
                    QSettings::NativeFormat);
  classes.setValue(QStringLiteral("Densora File/Shell/Open/Command/Default"),
                   QStringLiteral("\"") + exe + QStringLiteral("\" \"%1\""));
  classes.setValue(QStringLiteral("Densora File/DefaultIcon/Default"), exe + QStringLiteral(",1"));
  classes.setValue(QStringLiteral(".lng/Default"), QStringLiteral("Densora File"));
#else
  const QString dataHome = association::DataHome();
  association::RemoveOldEntry(dataHome);
  const std::vector<association::AssociationFile> files = association::AssociationFiles(
      QCoreApplication::applicationFilePath(), association::SystemDataDirs());
  if (files.empty()) return;
  association::WriteAssociation(dataHome, files);
  if (m_options.runDesktopTools) association::RefreshDesktopDatabases(dataHome);
#endif
}
