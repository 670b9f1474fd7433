#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
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
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "framework/qt/lock_keys.h"
#include "model/densora_doc.h"
#include "views/densora_view.h"

namespace {

// What the user reads of each command, written once: its menu text (& before the key letter,
// "..." when the command asks for more before it acts), the name it goes by on its toolbar
// button and in the message that it cannot be used yet, its status-bar prompt, and its key.
struct CommandText {
  int id;
  const char* menu;
  const char* name;
  const char* prompt;
  const char* key = "";
};

const CommandText kCommandTexts[] = {
    {ID_FILE_NEW, "&New", "New", "Create a new document", "Ctrl+N"},
    {ID_FILE_NEW_ONE_POINT, "New One-Poin&t Test...", "New One-Point Test",
     "Create a one-point test determined from a family of curves"},
    {ID_FILE_OPEN, "&Open...", "Open", "Open an existing document", "Ctrl+O"},
    {ID_FILE_SAVE, "&Save", "Save", "Save the active document", "Ctrl+S"},
    {ID_FILE_DELETE, "&Delete", "Delete", "Deletes Selected File or Directory"},
    // The label names Ctrl+C, but Ctrl+C is Copy: the command has no key, and no prompt.
    {ID_FILE_CHANGE_PROJECTS_DIR, "&Change Projects Directory\tCtrl+C", "Change Projects Directory",
     ""},
    {ID_FILE_FAMILY, "&Family of Curves...", "Family of Curves",
     "Show the family of curves of the tests in the selected folder"},
    {ID_FILE_PRINT, "&Print...", "Print", "Print the active document", "Ctrl+P"},
    {ID_FILE_PRINT_DIRECT, "", "Print", ""},  // printing without the dialog: no menu entry
    {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Print Preview", "Display full pages"},
    {ID_FILE_PRINT_SETUP, "P&rint Setup...", "Print Setup",
     "Change the printer and printing options"},
    {ID_FILE_EXPORT_REPORT, "&Export Report as PDF...", "Export Report as PDF",
     "Export the report as a PDF file"},
    {ID_FILE_EXPORT_SUMMARY, "Export Project Su&mmary...", "Export Project Summary",
     "Export a summary of the tests in the projects directory as a CSV file"},
    {ID_APP_EXIT, "E&xit", "Exit", "Quit the application; prompts to save documents"},
    {ID_VIEW_TOOLBAR, "&Toolbar", "Toolbar", "Show or hide the toolbar"},
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Status Bar", "Show or hide the status bar"},
    {ID_TOOLS_RELATIVE_COMPACTION, "&Relative Compaction...", "Relative Compaction",
     "Set the percentages of the maximum dry density drawn and printed with each curve"},
    {ID_HELP_CONTENTS, "Densora &Help", "Densora Help",
     "Open the guide to Densora in the web browser", "F1"},
    {ID_HELP_OPEN_SAMPLES, "Open &Sample Tests...", "Open Sample Tests",
     "Copy three sample tests into a folder of your choice and show them"},
    {ID_APP_ABOUT, "&About Densora...", "About",
     "Display program information, version number and copyright"},
};

// A recent file's command: its menu text is the file's, set as the list changes.
constexpr CommandText kRecentFileText{0, "Recent File", "Open", "Open this document"};

const CommandText* FindCommandText(int id) {
  for (const CommandText& c : kCommandTexts) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace

QString CMainFrame::CommandName(int id) {
  const CommandText* c = FindCommandText(id);
  return c ? QString::fromLatin1(c->name) : QStringLiteral("This");
}

CMainFrame::CMainFrame(CDensoraDoc& doc) : m_doc(doc) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowIcon(icons::Program());
  m_doc.AddView(this);
}

CMainFrame::~CMainFrame() { m_doc.RemoveView(this); }

QAction* CMainFrame::AddCommand(QMenu* menu, int id) {
  const bool recent = id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + kRecentFileCount;
  const CommandText& c = recent ? kRecentFileText : *FindCommandText(id);
  auto* a = new QAction(QString::fromLatin1(c.menu), this);
  a->setObjectName(QStringLiteral("cmd%1").arg(id));
  a->setData(id);
  if (*c.prompt != '\0') a->setStatusTip(QString::fromLatin1(c.prompt));
  if (*c.key != '\0') {
    a->setShortcut(QKeySequence(QString::fromLatin1(c.key)));
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
  m_pLookTimer = new QTimer(this);
  connect(m_pLookTimer, &QTimer::timeout, this, [this] { Look(); });
  m_pLookTimer->start(kLookIntervalMs);
  return true;
}

void CMainFrame::Look() {
  // A look may read the record again: never under a question about it.
  if (m_lookHandler && !QApplication::activeModalWidget()) m_lookHandler();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Look();
}

void CMainFrame::CreateFileMenu() {
  m_pFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  for (int id : {ID_FILE_NEW, ID_FILE_NEW_ONE_POINT, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_DELETE,
                 ID_FILE_CHANGE_PROJECTS_DIR}) {
    AddCommand(m_pFileMenu, id);
  }
  m_pFileMenu->addSeparator();
  AddCommand(m_pFileMenu, ID_FILE_FAMILY);
  m_pFileMenu->addSeparator();
  for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP}) {
    AddCommand(m_pFileMenu, id);
  }
  m_pFileMenu->addSeparator();
  AddCommand(m_pFileMenu, ID_FILE_EXPORT_REPORT);
  AddCommand(m_pFileMenu, ID_FILE_EXPORT_SUMMARY);
  m_pFileMenu->addSeparator();
  for (int i = 0; i < kRecentFileCount; ++i) {
    m_recentActions.push_back(AddCommand(m_pFileMenu, ID_FILE_MRU_FILE1 + i));
  }
  m_pRecentSeparator = m_pFileMenu->addSeparator();
  AddCommand(m_pFileMenu, ID_APP_EXIT);
}

// View's two checkable commands, which follow the bars' visibility, Tools' laboratory settings,
// and Help's guide and About.
void CMainFrame::CreateViewAndHelpMenus() {
  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    QAction* a = AddCommand(viewMenu, id);
    a->setCheckable(true);
    a->setChecked(true);
  }

  QMenu* toolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
  AddCommand(toolsMenu, ID_TOOLS_RELATIVE_COMPACTION);

  QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  AddCommand(helpMenu, ID_HELP_CONTENTS);
  AddCommand(helpMenu, ID_HELP_OPEN_SAMPLES);
  helpMenu->addSeparator();
  AddCommand(helpMenu, ID_APP_ABOUT);
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
    int id;  // 0: a separator
    QIcon icon;
  } buttons[] = {
      {ID_FILE_NEW, icons::FileNew()},
      {ID_FILE_OPEN, icons::FileOpen()},
      {ID_FILE_SAVE, icons::FileSave()},
      {0, {}},
      {ID_FILE_PRINT, icons::FilePrint()},
      {ID_FILE_PRINT_PREVIEW, icons::FilePrintPreview()},
      {0, {}},
      {ID_APP_ABOUT, icons::HelpAbout()},
  };
  for (const auto& b : buttons) {
    if (b.id == 0) {
      m_pToolBar->addSeparator();
      continue;
    }
    QAction* a = m_actions[b.id];
    a->setIcon(b.icon);
    a->setToolTip(CommandName(b.id));
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
      QString shown = QString::fromStdString(framework::ShownPath(m_recentFiles[i]));
      shown.replace(QStringLiteral("&"), QStringLiteral("&&"));
      a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
      a->setEnabled(true);
      a->setVisible(true);
    } else if (i == 0 && m_recentFiles.empty()) {
      a->setText(QString::fromLatin1(kRecentFileText.menu));  // the greyed placeholder
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
