#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <array>

#include "app/icons.h"
#include "app/resource.h"
#include "framework/codepage.h"
#include "framework/prompt.h"
#include "framework/qt/lock_keys.h"
#include "model/densora_doc.h"
#include "views/densora_view.h"

namespace {

// The names a command goes by in the message that it cannot be used yet.
QString CommandName(int id) {
  switch (id) {
    case ID_FILE_NEW:
      return QStringLiteral("New");
    case ID_FILE_OPEN:
      return QStringLiteral("Open");
    case ID_FILE_SAVE:
      return QStringLiteral("Save");
    case ID_FILE_DELETE:
      return QStringLiteral("Delete");
    case ID_FILE_CHANGE_PROJECTS_DIR:
      return QStringLiteral("Change Projects Directory");
    case ID_FILE_PRINT:
      return QStringLiteral("Print");
    case ID_FILE_PRINT_DIRECT:
      return QStringLiteral("Print");
    case ID_FILE_PRINT_PREVIEW:
      return QStringLiteral("Print Preview");
    case ID_FILE_PRINT_SETUP:
      return QStringLiteral("Print Setup");
    case ID_FILE_EXPORT_REPORT:
      return QStringLiteral("Export Report as PDF");
    case ID_FILE_EXPORT_SUMMARY:
      return QStringLiteral("Export Project Summary");
    case ID_HELP_CONTENTS:
      return QStringLiteral("Densora Help");
    case ID_APP_ABOUT:
      return QStringLiteral("About");
    default:
      return QStringLiteral("This");
  }
}

}  // namespace

CMainFrame::CMainFrame(CDensoraDoc& doc) : m_doc(doc) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowIcon(icons::Program());
  m_doc.AddView(this);
}

CMainFrame::~CMainFrame() { m_doc.RemoveView(this); }

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt,
                                const QKeySequence& key) {
  auto* a = new QAction(text, this);
  a->setObjectName(QStringLiteral("cmd%1").arg(id));
  a->setData(id);
  if (!prompt.isEmpty()) a->setStatusTip(prompt);
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
  if (menu) menu->addAction(a);
  addAction(a);  // keys work while the menu bar is hidden too
  m_actions[id] = a;
  return a;
}

bool CMainFrame::OnCreate() {
  CreateFileMenu();
  CreateViewAndHelpMenus();
  CreateToolBar();
  CreateStatusBar();
  SetRecentFiles({});
  UpdateFrameTitle();
  return true;
}

void CMainFrame::CreateFileMenu() {
  m_pFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  AddCommand(m_pFileMenu, ID_FILE_NEW, QStringLiteral("&New"),
             QStringLiteral("Create a new document"), QKeySequence(Qt::CTRL | Qt::Key_N));
  AddCommand(m_pFileMenu, ID_FILE_OPEN, QStringLiteral("&Open..."),
             QStringLiteral("Open an existing document"), QKeySequence(Qt::CTRL | Qt::Key_O));
  AddCommand(m_pFileMenu, ID_FILE_SAVE, QStringLiteral("&Save"),
             QStringLiteral("Save the active document"), QKeySequence(Qt::CTRL | Qt::Key_S));
  AddCommand(m_pFileMenu, ID_FILE_DELETE, QStringLiteral("&Delete"),
             QStringLiteral("Deletes Selected File or Directory"));
  // The label names Ctrl+C, but Ctrl+C is Copy: the command has no key.
  AddCommand(m_pFileMenu, ID_FILE_CHANGE_PROJECTS_DIR,
             QStringLiteral("&Change Projects Directory\tCtrl+C"), QString());
  m_pFileMenu->addSeparator();
  AddCommand(m_pFileMenu, ID_FILE_PRINT, QStringLiteral("&Print..."),
             QStringLiteral("Print the active document"), QKeySequence(Qt::CTRL | Qt::Key_P));
  AddCommand(m_pFileMenu, ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view"),
             QStringLiteral("Display full pages"));
  AddCommand(m_pFileMenu, ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup..."),
             QStringLiteral("Change the printer and printing options"));
  m_pFileMenu->addSeparator();
  AddCommand(m_pFileMenu, ID_FILE_EXPORT_REPORT, QStringLiteral("&Export Report as PDF..."),
             QStringLiteral("Export the report as a PDF file"));
  AddCommand(
      m_pFileMenu, ID_FILE_EXPORT_SUMMARY, QStringLiteral("Export Project Su&mmary..."),
      QStringLiteral("Export a summary of the tests in the projects directory as a CSV file"));
  m_pFileMenu->addSeparator();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* a = AddCommand(m_pFileMenu, ID_FILE_MRU_FILE1 + i, QStringLiteral("Recent File"),
                            QStringLiteral("Open this document"));
    m_recentActions.push_back(a);
  }
  m_pRecentSeparator = m_pFileMenu->addSeparator();
  AddCommand(m_pFileMenu, ID_APP_EXIT, QStringLiteral("E&xit"),
             QStringLiteral("Quit the application; prompts to save documents"));
}

// View's two checkable commands, which follow the bars' visibility, and Help's guide and About.
void CMainFrame::CreateViewAndHelpMenus() {
  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* toolbarAction = AddCommand(viewMenu, ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"),
                                      QStringLiteral("Show or hide the toolbar"));
  QAction* statusAction = AddCommand(viewMenu, ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"),
                                     QStringLiteral("Show or hide the status bar"));
  toolbarAction->setCheckable(true);
  toolbarAction->setChecked(true);
  statusAction->setCheckable(true);
  statusAction->setChecked(true);

  QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  AddCommand(helpMenu, ID_HELP_CONTENTS, QStringLiteral("Densora &Help"),
             QStringLiteral("Open the guide to Densora in the web browser"),
             QKeySequence(Qt::Key_F1));
  helpMenu->addSeparator();
  AddCommand(helpMenu, ID_APP_ABOUT, QStringLiteral("&About Densora..."),
             QStringLiteral("Display program information, version number and copyright"));
}

// The toolbar: dockable on every side, with tooltips and status prompts.
void CMainFrame::CreateToolBar() {
  m_pToolBar = new QToolBar(QStringLiteral("Standard"), this);
  m_pToolBar->setObjectName(QStringLiteral("toolbar"));
  m_pToolBar->setIconSize(QSize(16, 16));
  m_pToolBar->setMovable(true);
  m_pToolBar->setFloatable(true);
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  const struct {
    int id;
    QIcon icon;
    const char* tip;
  } buttons[] = {
      {ID_FILE_NEW, icons::FileNew(), "New"},
      {ID_FILE_OPEN, icons::FileOpen(), "Open"},
      {ID_FILE_SAVE, icons::FileSave(), "Save"},
      {0, {}, nullptr},
      {ID_FILE_PRINT, icons::FilePrint(), "Print"},
      {ID_FILE_PRINT_PREVIEW, icons::FilePrintPreview(), "Print Preview"},
      {0, {}, nullptr},
      {ID_APP_ABOUT, icons::HelpAbout(), "About"},
  };
  for (const auto& b : buttons) {
    if (!b.tip) {
      m_pToolBar->addSeparator();
      continue;
    }
    QAction* a = m_actions[b.id];
    a->setIcon(b.icon);
    a->setToolTip(QString::fromLatin1(b.tip));
    a->setIconVisibleInMenu(false);
    m_pToolBar->addAction(a);
  }
  addToolBar(Qt::TopToolBarArea, m_pToolBar);
  connect(m_pToolBar, &QToolBar::visibilityChanged, m_actions[ID_VIEW_TOOLBAR],
          &QAction::setChecked);
}

// The status bar: the message pane, then CAP, NUM, SCRL, polled twice a second.
void CMainFrame::CreateStatusBar() {
  m_pReady = new QLabel(QStringLiteral("Ready"));
  m_pReady->setObjectName(QStringLiteral("messagePane"));
  statusBar()->addWidget(m_pReady, 1);
  const char* indicatorTexts[] = {"CAP", "NUM", "SCRL"};
  for (std::size_t i = 0; i < m_pIndicators.size(); ++i) {
    auto* l = new QLabel;
    l->setObjectName(QString::fromLatin1(indicatorTexts[i]));
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(l);
    m_pIndicators[i] = l;
  }
  m_pIndicatorTimer = new QTimer(this);
  connect(m_pIndicatorTimer, &QTimer::timeout, this, [this] { UpdateIndicators(); });
  m_pIndicatorTimer->start(500);
  UpdateIndicators();
}

void CMainFrame::UpdateIndicators() {
  const framework::LockKeys keys = framework::CurrentLockKeys();
  const bool on[] = {keys.caps, keys.num, keys.scroll};
  const char* texts[] = {"CAP", "NUM", "SCRL"};
  for (std::size_t i = 0; i < m_pIndicators.size(); ++i) {
    const QString t = on[i] ? QString::fromLatin1(texts[i]) : QString();
    if (m_pIndicators[i]->text() != t) m_pIndicators[i]->setText(t);
  }
}

void CMainFrame::SetView(CDensoraView* view) {
  m_pView = view;
  m_pScroll = new QScrollArea(this);
  m_pScroll->setObjectName(QStringLiteral("formScroll"));
  m_pScroll->setFrameShape(QFrame::NoFrame);
  // Only the form's fields take the keys: the area around them is no tab stop.
  m_pScroll->setFocusPolicy(Qt::NoFocus);
  m_pScroll->setWidgetResizable(true);
  m_pScroll->setWidget(view);
  setCentralWidget(m_pScroll);
}

QAction* CMainFrame::Action(int id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::SetCommandHandler(int id, Handler handler) {
  if (handler) {
    m_handlers[id] = std::move(handler);
  } else {
    m_handlers.erase(id);
  }
}

bool CMainFrame::HasCommandHandler(int id) const { return m_handlers.count(id) != 0; }

bool CMainFrame::OnCommand(int id) {
  switch (id) {
    case ID_APP_EXIT:
      close();
      return true;
    case ID_VIEW_TOOLBAR:
      m_pToolBar->setVisible(!m_pToolBar->isVisible());
      m_actions[ID_VIEW_TOOLBAR]->setChecked(m_pToolBar->isVisible());
      return true;
    case ID_VIEW_STATUS_BAR:
      statusBar()->setVisible(!statusBar()->isVisible());
      m_actions[ID_VIEW_STATUS_BAR]->setChecked(statusBar()->isVisible());
      return true;
    default:
      break;
  }
  if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + kRecentFileCount) {
    const std::size_t k = static_cast<std::size_t>(id - ID_FILE_MRU_FILE1);
    if (k >= m_recentFiles.size()) return false;
    if (!m_recentHandler) {
      ReportUnavailable(ID_FILE_OPEN);
      return false;
    }
    m_recentHandler(m_recentFiles[k]);
    return true;
  }
  const auto it = m_handlers.find(id);
  if (it == m_handlers.end()) {
    ReportUnavailable(id);
    return false;
  }
  it->second();
  return true;
}

void CMainFrame::ReportUnavailable(int id) {
  const QString text = QStringLiteral("The %1 command is not available in this version of Densora.")
                           .arg(CommandName(id));
  framework::AfxMessageBox(text.toStdString());
}

void CMainFrame::SetRecentFiles(const std::vector<std::string>& files) {
  m_recentFiles = files;
  if (m_recentFiles.size() > static_cast<std::size_t>(kRecentFileCount)) {
    m_recentFiles.resize(static_cast<std::size_t>(kRecentFileCount));
  }
  for (std::size_t i = 0; i < m_recentActions.size(); ++i) {
    QAction* a = m_recentActions[i];
    if (i < m_recentFiles.size()) {
      QString shown = QString::fromStdString(m_recentFiles[i]);
      shown.replace(QStringLiteral("&"), QStringLiteral("&&"));
      a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
      a->setEnabled(true);
      a->setVisible(true);
    } else if (i == 0 && m_recentFiles.empty()) {
      a->setText(QStringLiteral("Recent File"));  // the greyed placeholder
      a->setEnabled(false);
      a->setVisible(true);
    } else {
      a->setVisible(false);
    }
  }
}

void CMainFrame::UpdateFrameTitle() {
  setWindowTitle(QString::fromStdString(framework::Utf8ForDisplay(m_doc.GetTitle())) +
                 QStringLiteral(" - Densora"));
}

void CMainFrame::OnUpdate(framework::CView*, long) { UpdateFrameTitle(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The close handler asks about unsaved changes; the window closes only when it agrees.
  if (m_closeHandler && !m_closeHandler()) {
    event->ignore();
    return;
  }
  event->accept();
}
