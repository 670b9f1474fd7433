#include "app/app_commands.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeWidgetItem>
#include <QUrl>

#include "app/densora_app.h"
#include "app/family_window.h"
#include "app/help.h"
#include "app/icons.h"
#include "app/main_frame.h"
#include "app/projects_dir_dlg.h"
#include "app/resource.h"
#include "app/settings.h"
#include "file/project_tree.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "framework/qt/qt_surface.h"
#include "model/densora_doc.h"
#include "model/messages.h"
#include "print/qt/report_pdf.h"
#include "print/report.h"
#include "views/densora_view.h"
#include "views/project_tree.h"
#include "views/window_placement.h"

CAppCommands::CAppCommands(CDensoraApp& app) : m_app(app) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) {
    m_browserCommand = {QStringLiteral("xdg-open")};
  }
#endif
  m_pCommands = std::make_unique<CDocumentCommands>(app.Document(), app.View()->Curve(),
                                                    app.m_strProjectsDir, *this);
}

CAppCommands::~CAppCommands() = default;

void CAppCommands::Connect() {
  CMainFrame* frame = m_app.MainFrame();
  CDocumentCommands& c = *m_pCommands;
  frame->SetCommandHandler(ID_FILE_NEW, [&c] { c.OnFileNew(); });
  frame->SetCommandHandler(ID_FILE_OPEN, [&c] { c.OnFileOpen(); });
  frame->SetCommandHandler(ID_FILE_SAVE, [&c] { c.OnFileSave(); });
  frame->SetCommandHandler(ID_FILE_DELETE, [this] {
    CProjectTree& tree = m_app.View()->Tree();
    QTreeWidgetItem* item = tree.currentItem();
    if (!item || !item->isSelected()) return;  // nothing selected: nothing to delete
    m_pCommands->OnFileDelete(m_app.View()->Tree().ItemOf(item));
  });
  frame->SetCommandHandler(ID_FILE_CHANGE_PROJECTS_DIR, [&c] { c.OnChangeProjectsDir(); });
  frame->SetCommandHandler(ID_FILE_PRINT, [this] { OnFilePrint(true); });
  frame->SetCommandHandler(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(false); });
  frame->SetCommandHandler(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
  frame->SetCommandHandler(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
  frame->SetCommandHandler(ID_FILE_EXPORT_REPORT, [this] { OnFileExportReport(); });
  frame->SetCommandHandler(ID_FILE_EXPORT_SUMMARY, [this] { OnFileExportSummary(); });
  frame->SetCommandHandler(ID_HELP_CONTENTS, [this] { OnHelpContents(); });
  frame->SetCommandHandler(ID_HELP_OPEN_SAMPLES, [this] { OnHelpOpenSamples(); });
  frame->SetCommandHandler(ID_FILE_FAMILY, [this] { OnFamilyOfCurves(); });
  frame->SetCommandHandler(ID_FILE_NEW_ONE_POINT, [this] { OnNewOnePointTest(); });
  frame->SetCloseHandler([&c] { return c.OnClose(); });
  frame->SetRecentFileHandler([&c](const std::string& path) { c.OnOpenRecentFile(path); });

  CProjectTree& tree = m_app.View()->Tree();
  tree.SetFileIcon(icons::Document());
  tree.SetRefresher([this](CProjectTree& t) { FillTree(t); });
  QObject::connect(&tree, &QTreeWidget::itemSelectionChanged, &tree,
                   [this] { OnTreeSelectionChanged(); });
  // A folder's own commands, from the mouse's right button or the keyboard's menu key.
  tree.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&tree, &QWidget::customContextMenuRequested, &tree, [this](const QPoint& at) {
    CProjectTree& t = m_app.View()->Tree();
    QTreeWidgetItem* item = t.itemAt(at);
    if (!item) item = t.currentItem();
    if (!item || !t.ItemOf(item).isFolder) return;
    const std::string folder = t.PathOf(item);
    QMenu menu(&t);
    QAction* family = menu.addAction(QStringLiteral("&Family of Curves..."));
    QAction* onePoint = menu.addAction(QStringLiteral("New One-Poin&t Test..."));
    const QRect shown = t.visualItemRect(item);
    QAction* chosen = menu.exec(
        t.viewport()->mapToGlobal(t.itemAt(at) ? at : QPoint(shown.left() + 8, shown.bottom())));
    if (chosen == family) OnFamilyOfCurves(folder);
    if (chosen == onePoint) {
      const std::string& root = m_app.m_strProjectsDir;
      OnNewOnePointTest(folder.rfind(root + '/', 0) == 0 ? folder.substr(root.size() + 1) : folder);
    }
  });
}

std::optional<std::string> CAppCommands::AskOpenFileName(const std::string& initialFolder) {
  if (m_openDialogOverride) return m_openDialogOverride(initialFolder);
  const QString chosen = QFileDialog::getOpenFileName(
      m_app.MainFrame(), CMainFrame::CommandName(ID_FILE_OPEN),
      QString::fromStdString(initialFolder), QStringLiteral("Compaction Files (*.lng)"));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> CAppCommands::AskSaveFileName(const std::string& proposedPath) {
  if (m_saveDialogOverride) return m_saveDialogOverride(proposedPath);
  const QString chosen = QFileDialog::getSaveFileName(m_app.MainFrame(), QStringLiteral("Save As"),
                                                      QString::fromStdString(proposedPath),
                                                      QStringLiteral("Compaction Files (*.lng)"));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> CAppCommands::AskExportFileName(const std::string& proposedPath,
                                                           const ExportType& type) {
  if (m_exportDialogOverride) return m_exportDialogOverride(proposedPath);
  // The dialog belongs to the window it was asked from (the family's, or the main window),
  // which has the keyboard again when it closes.
  QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : m_app.MainFrame();
  const QString chosen = QFileDialog::getSaveFileName(owner, QString::fromLatin1(type.title),
                                                      QString::fromStdString(proposedPath),
                                                      QString::fromLatin1(type.filter));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> CAppCommands::AskProjectsDirectory() {
  if (m_dirDialogOverride) return m_dirDialogOverride();
  CProjectsDirDlg dlg(m_app.MainFrame());
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.m_strDirectory;
}

std::optional<std::string> CAppCommands::AskSamplesFolder() {
  if (m_samplesDialogOverride) return m_samplesDialogOverride();
  const QString chosen = QFileDialog::getExistingDirectory(
      m_app.MainFrame(), CMainFrame::CommandName(ID_HELP_OPEN_SAMPLES), QDir::homePath());
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

void CAppCommands::StoreProjectsDirectory(const std::string& folder) {
  settings::WriteProjectsDir(folder);
}

void CAppCommands::DocumentOpened(const std::string& path) { m_app.DocumentOpened(path); }

void CAppCommands::DocumentOpenFailed(const std::string& path) { m_app.RemoveRecentFile(path); }

void CAppCommands::RefreshTree() { m_app.View()->Tree().RefreshTree(); }

void CAppCommands::FillTree(CProjectTree& tree) {
  // The top level and the folders of the record on screen; other folders are listed when
  // they are opened.
  m_bFilling = true;
  // Shown in the tree's place while the projects directory holds no test.
  tree.SetEmptyNote(
      QString::fromStdString(framework::FormatPathStock(msg::kNoTestsYet, m_app.m_strProjectsDir) +
                             "\n\n" + msg::kSampleTestsOffer));
  tree.SetProjectsDir(m_app.m_strProjectsDir);
  tree.Rebuild();
  const std::string& path = m_app.Document().GetPathName();
  tree.OpenFolders(RecordFolderTexts(m_app.Document().m_record), framework::FileNameOf(path));
  m_bFilling = false;
}

void CAppCommands::OnTreeSelectionChanged() {
  CProjectTree& tree = m_app.View()->Tree();
  if (m_bFilling || tree.IsUpdating()) return;
  const QList<QTreeWidgetItem*> selected = tree.selectedItems();
  if (selected.isEmpty()) return;
  m_pCommands->OnTreeSelect(tree.ItemOf(selected.front()));
  m_app.MainFrame()->UpdateFrameTitle();
}

void CAppCommands::PrintReport(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    // No printer, or a file that cannot be written: nothing was printed, and the user hears so.
    framework::AfxMessageBox(msg::kPrinterDidNotStart, framework::MsgButtons::Ok,
                             framework::MsgIcon::Stop);
    return;
  }
  {
    // The surface keeps the painter's state for its lifetime: it ends before the painter.
    framework::QtPainterSurface surface(painter);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const OnePointEvaluation onePoint = EvaluateOnePoint(m_app.Document().m_record);
    print::DrawReport(surface, page.width(), page.height(), m_app.Document(), m_app.View()->Chart(),
                      onePoint.IsOnePointTest() ? &onePoint : nullptr);
  }
  painter.end();
  m_app.View()->update();  // the screen shows the refitted record
}

QPrinter& CAppCommands::Printer() {
  if (!m_pPrinter) {
    m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The report's fixed offsets, its 600-pixel emblem and its pens are device units of a
    // 600 dpi page: the page prints as it does from densora-cli.
    m_pPrinter->setResolution(print::kReportDpi);
  }
  return *m_pPrinter;
}

void CAppCommands::OnFilePrint(bool withDialog) {
  QPrinter& printer = Printer();
  if (withDialog) {
    QPrintDialog dlg(&printer, m_app.MainFrame());
    if (dlg.exec() != QDialog::Accepted) return;
  }
  PrintReport(printer);
}

void CAppCommands::OnFilePrintPreview() {
  QPrintPreviewDialog dlg(&Printer(), m_app.MainFrame());
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                   [this](QPrinter* p) { PrintReport(*p); });
  // A page's shape, as large as the screen's free area holds with the window's frame.
  const QWidget* frame = m_app.MainFrame();
  dlg.setGeometry(
      FitIntoArea(QSize(900, 1000), frame->screen()->availableGeometry(), FrameMarginsOf(frame)));
  dlg.exec();
}

void CAppCommands::OnFilePrintSetup() {
  QPageSetupDialog dlg(&Printer(), m_app.MainFrame());
  dlg.exec();
}

void CAppCommands::OnFileExportReport() {
  m_pCommands->OnExportReport([this] {
    // The page the printer prints, on a Letter page as densora-cli report draws it.
    const OnePointEvaluation onePoint = EvaluateOnePoint(m_app.Document().m_record);
    std::vector<unsigned char> pdf =
        print::ReportPdfBytes({{m_app.Document(), m_app.View()->Chart(),
                                onePoint.IsOnePointTest() ? &onePoint : nullptr}});
    m_app.View()->update();  // the screen shows the refitted record
    return pdf;
  });
}

void CAppCommands::OnFileExportSummary() {
  // The folder selected in the tree; a test selected, or nothing, stands for the whole
  // projects directory.
  TreeItem folder;
  CProjectTree& tree = m_app.View()->Tree();
  if (QTreeWidgetItem* item = tree.currentItem(); item && item->isSelected()) {
    if (TreeItem selected = tree.ItemOf(item); selected.isFolder) folder = std::move(selected);
  }
  m_pCommands->OnExportSummary(folder);
}

bool CAppCommands::Progress(std::size_t filesRead) {
  const auto now = std::chrono::steady_clock::now();
  if (!m_pProgress) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // No range: the number of files is known only at the end. Shown after half a second.
    m_pProgress = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0, 0,
                                                    m_app.MainFrame());
    m_pProgress->setWindowTitle(QStringLiteral("Densora"));
    m_pProgress->setWindowModality(Qt::WindowModal);
    m_pProgress->setMinimumDuration(500);
    m_pProgress->setValue(0);  // starts the half second
  } else if (now - m_lastProgress < std::chrono::milliseconds(100)) {
    return !m_pProgress->wasCanceled();  // a few updates a second are enough to watch
  }
  m_lastProgress = now;
  m_pProgress->setLabelText(QStringLiteral("Reading the tests: %1 files read").arg(filesRead));
  // The window stays drawn and the dialog appears on time. Before the dialog shows, the
  // user's clicks wait; once it shows, it blocks the main window and its Cancel is heard.
  QCoreApplication::processEvents(m_pProgress->isVisible() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
  return !m_pProgress->wasCanceled();
}

void CAppCommands::EndProgress() {
  if (!m_pProgress) return;
  m_pProgress.reset();
  QApplication::restoreOverrideCursor();
}

void CAppCommands::OnHelpContents() {
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  const std::optional<std::string> guide = help::FindProgramGuide();
  if (!guide) {
    framework::AfxMessageBox(
        framework::FormatPathStock(msg::kHelpNotFound, help::InstalledGuide(programDir)),
        framework::MsgButtons::Ok, framework::MsgIcon::Stop);
    return;
  }
  const auto notShown = [guide = *guide] {
    framework::AfxMessageBox(framework::FormatPathStock(msg::kHelpNotShown, guide),
                             framework::MsgButtons::Ok, framework::MsgIcon::Stop);
  };
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(*guide));
  if (m_browserCommand.isEmpty()) {
    if (!QDesktopServices::openUrl(url)) notShown();
    return;
  }
  // Qt counts the guide as shown as soon as xdg-open starts, browser or none; xdg-open's
  // exit status tells. It is heard when it comes, and the window goes on meanwhile.
  auto* process = new QProcess(m_app.MainFrame());
  ++m_nBrowsersStarting;
  const auto done = [this, process, notShown](bool shown) {
    if (process->property("heard").toBool()) return;
    process->setProperty("heard", true);
    --m_nBrowsersStarting;
    process->deleteLater();
    if (!shown) notShown();
  };
  QObject::connect(process, &QProcess::finished, process,
                   [done](int code, QProcess::ExitStatus status) {
                     done(status == QProcess::NormalExit && code == 0);
                   });
  QObject::connect(process, &QProcess::errorOccurred, process, [done](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) done(false);
  });
  process->start(m_browserCommand.front(), m_browserCommand.mid(1)
                                               << url.toString(QUrl::FullyEncoded));
}

void CAppCommands::OnHelpOpenSamples() {
  const std::optional<std::string> samples = help::FindProgramSamples();
  if (!samples) {
    framework::AfxMessageBox(
        framework::FormatPathStock(
            msg::kSamplesNotFound,
            help::InstalledSamples(QCoreApplication::applicationDirPath().toStdString())),
        framework::MsgButtons::Ok, framework::MsgIcon::Stop);
    return;
  }
  m_pCommands->OnOpenSampleTests(*samples);
}

std::string CAppCommands::SelectedFolder() {
  CProjectTree& tree = m_app.View()->Tree();
  QTreeWidgetItem* item = tree.currentItem();
  if (item && item->isSelected()) {
    if (tree.ItemOf(item).isFolder) return tree.PathOf(item);
    if (item->parent()) return tree.PathOf(item->parent());
  }
  return m_app.m_strProjectsDir;
}

CFamilyWindow* CAppCommands::OnFamilyOfCurves(const std::string& folder) {
  CFamilyWindow::Context context;
  context.cache = &m_families;
  context.projectsDir = m_app.m_strProjectsDir;
  context.units = m_app.Document().m_nUnits;
  context.newOnePoint = [this](const std::string& name, const FamilyKey& key) {
    OnNewOnePointTest(name, key);
  };
  context.exportPdf = [this](const std::string& proposed,
                             const std::function<std::vector<unsigned char>()>& render) {
    m_pCommands->OnExportPdf(proposed, kFamilyExport, render);
  };
  auto* window = new CFamilyWindow(std::move(context), folder.empty() ? SelectedFolder() : folder,
                                   m_app.MainFrame());
  if (!window->Load()) {
    delete window;
    return nullptr;
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

void CAppCommands::OnNewOnePointTest(const std::string& folderName,
                                     const std::optional<FamilyKey>& key) {
  std::string root = m_app.m_strProjectsDir;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  std::string name = folderName;
  if (name.empty()) {
    const QString start = QString::fromStdString(SelectedFolder());
    std::optional<std::string> chosen;
    if (m_familyDialogOverride) {
      chosen = m_familyDialogOverride(start.toStdString());
    } else {
      const QString dir = QFileDialog::getExistingDirectory(
          m_app.MainFrame(), QStringLiteral("New One-Point Test: the Family's Folder"), start);
      if (!dir.isEmpty()) chosen = dir.toStdString();
    }
    if (!chosen) return;
    std::string folder = *chosen;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    name = folder == root                     ? std::string(".")
           : folder.rfind(root + '/', 0) == 0 ? folder.substr(root.size() + 1)
                                              : folder;
  }
  FamilyKey familyKey;
  if (framework::IsRootedPath(name)) {
    m_pCommands->OnFileNewOnePoint(name, familyKey);  // refused: says why
    return;
  }
  if (key) {
    familyKey = *key;
  } else {
    // The standard and method most of the folder's tests share, as the family's window shows.
    std::optional<std::vector<FolderTest>> tests;
    try {
      tests =
          m_families.Scan(root + '/' + name, [this](std::size_t done) { return Progress(done); });
    } catch (const framework::CFileException& e) {
      EndProgress();
      framework::AfxMessageBox(e.what(), framework::MsgButtons::Ok, framework::MsgIcon::Stop);
      return;
    }
    EndProgress();
    if (!tests) return;  // cancelled
    familyKey = MostSharedKey(*tests);
  }
  if (!m_pCommands->OnFileNewOnePoint(name, familyKey)) return;
  // The new record is entered in the main window, from its first page.
  m_app.MainFrame()->raise();
  m_app.MainFrame()->activateWindow();
  m_app.View()->Tabs().setCurrentIndex(0);
}

OnePointEvaluation CAppCommands::EvaluateOnePoint(CompactionRecord& record) {
  return EvaluateOnePointTest(record, m_app.m_strProjectsDir, m_families);
}
