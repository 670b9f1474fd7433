#include "views/densora_view.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

#include "framework/qt/dialog_units.h"
#include "model/densora_doc.h"
#include "views/curve_page.h"
#include "views/dialog_template.h"
#include "views/form_controls.h"
#include "views/long_test_page.h"
#include "views/project_info_page.h"
#include "views/project_tree.h"
#include "views/soil_method_page.h"
#include "views/test_data_page.h"

CDensoraView::CDensoraView(CDensoraDoc& doc, ViewOptions options, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_options(std::move(options)), m_curve(doc) {
  setObjectName(QStringLiteral("view101"));
  // The printed chart warns like the one on screen.
  m_chart.SetTone(m_options.tone);
  setFont(framework::DialogFont());
  const framework::DialogUnits du(font());
  for (const dlg::Control& c : dlg::kMainForm.controls) {
    QWidget* w = nullptr;
    if (c.kind == dlg::Kind::Tree) {
      m_pTree = new CProjectTree(this);
      w = m_pTree;
    } else {
      m_pTabs = new dlg::FormTabs(this);
      // A click on a tab takes the focus, as the user leaves the field being edited.
      m_pTabs->tabBar()->setFocusPolicy(Qt::StrongFocus);
      w = m_pTabs;
    }
    w->setGeometry(du.Rect(c.x, c.y, c.w, c.h));
    w->setObjectName(QStringLiteral("ctl%1").arg(c.id));
    w->setProperty("controlId", c.id);
  }
  setMinimumSize(du.X(dlg::kMainForm.width), du.Y(dlg::kMainForm.height));
  // The tabs change from anywhere in the window, as in every tabbed dialog: Ctrl+Tab and
  // Ctrl+Page Down to the next, Ctrl+Shift+Tab and Ctrl+Page Up to the one before, round
  // from the last to the first. (With Shift, the Tab key arrives as Backtab.)
  const struct {
    QKeyCombination key;
    int step;
  } tabKeys[] = {{Qt::CTRL | Qt::Key_Tab, 1},
                 {Qt::CTRL | Qt::Key_PageDown, 1},
                 {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
                 {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
                 {Qt::CTRL | Qt::Key_PageUp, -1}};
  for (const auto& [key, step] : tabKeys) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, step = step] { StepTab(step); });
  }
  m_doc.AddView(this);
}

void CDensoraView::StepTab(int step) {
  const int count = m_pTabs->count();
  if (count == 0) return;
  m_pTabs->setCurrentIndex(((m_pTabs->currentIndex() + step) % count + count) % count);
}

CDensoraView::~CDensoraView() { m_doc.RemoveView(this); }

int CDensoraView::TabBarHeight() const { return m_pTabs->tabBar()->sizeHint().height(); }

std::array<CTabPage*, 5> CDensoraView::PagesInTabOrder() const {
  return {m_pProjectInfo, m_pTestData, m_pCurve, m_pLongTest, m_pSoilMethod};
}

CTabPage* CDensoraView::GetCurrentPage() const {
  const std::array<CTabPage*, 5> inTabOrder = PagesInTabOrder();
  const int index = m_pTabs->currentIndex();
  if (index < 0 || index >= static_cast<int>(inTabOrder.size())) return nullptr;
  return inTabOrder[static_cast<std::size_t>(index)];
}

void CDensoraView::OnUpdate(framework::CView*, long hint) {
  RefreshPages();
  // While the program starts, the initial update that ends the start builds the tree once.
  if (hint != kHintRecord && !m_pTree->InStartup()) m_pTree->RefreshTree();
}

void CDensoraView::RefreshPages() {
  // Tab order: the curve page refits before the long test page rates against the fit and
  // the Soil and Method page corrects it for the oversize fraction.
  for (CTabPage* page : PagesInTabOrder()) {
    if (page) page->RefreshPage();
  }
}

void CDensoraView::OnInitialUpdate() {
  // The tree is rebuilt once, at the end, for the record as it then stands.
  RefreshPages();
  const QRect tabRect = m_pTabs->geometry();
  if (!m_bPagesCreated) {
    m_pSoilMethod = new CSoilMethodPage(tabRect, this, m_curve);
    m_pSoilMethod->m_strTitle = QStringLiteral("Soil and Method");
    m_pSoilMethod->Create();
    m_pLongTest = new CLongTestPage(tabRect, this);
    m_pLongTest->m_strTitle = QStringLiteral("Long Test Results");
    m_pLongTest->Create();
    m_pCurve = new CCurvePage(tabRect, this, m_doc, m_options.tone);
    m_pCurve->m_strTitle = QStringLiteral("Moisture-density Curve");
    m_pCurve->Create();
    m_pTestData = new CTestDataPage(tabRect, this);
    m_pTestData->m_strTitle = QStringLiteral("Test Data");
    m_pTestData->Create();
    m_pProjectInfo = new CProjectInfoPage(tabRect, this, m_options.counties);
    m_pProjectInfo->m_strTitle = QStringLiteral("Project Information");
    m_pProjectInfo->Create();

    m_pSoilMethod->hide();
    m_pLongTest->hide();
    m_pCurve->hide();
    m_pTestData->hide();

    {
      const QSignalBlocker block(m_pTabs);
      for (CTabPage* page : PagesInTabOrder()) {
        auto* placeholder = new QWidget;
        placeholder->setObjectName(QStringLiteral("tabArea%1").arg(page->TemplateId()));
        m_pTabs->addTab(placeholder, page->m_strTitle);
      }
      m_pTabs->setCurrentIndex(0);
    }
    // Now that the tabs are there, the pages go below them.
    for (CTabPage* page : PagesInTabOrder()) page->Place();
    connect(m_pTabs, &QTabWidget::currentChanged, this, [this] { OnSelchangeTab(); });
    m_bPagesCreated = true;
  }
  OnSelchangeTab();
  m_pTree->RefreshTree();
  if (m_pTree->InStartup()) m_pTree->EndStartup();
  PlaceMainWindow();
}

void CDensoraView::OnSelchangeTab() {
  CTabPage* page = GetCurrentPage();
  if (m_pShownPage) {
    // The focus leaves the page before it is hidden, so that it does not wander off to
    // whatever control comes next.
    QWidget* focus = QApplication::focusWidget();
    if (!focus) focus = window()->focusWidget();
    if (focus && m_pShownPage->isAncestorOf(focus))
      m_pTabs->tabBar()->setFocus(Qt::OtherFocusReason);
    m_pShownPage->hide();
  }
  if (page) {
    m_pShownPage = page;
    page->RefreshPage();
    page->show();
    page->raise();
    page->FocusFirstControl();
    page->RefreshPage();
  }
}

void CDensoraView::PlaceMainWindow() {
  QWidget* w = window();
  if (w == this) return;
  if (w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
    w->setWindowState(Qt::WindowNoState);
  }
  if (m_pWatchedWindow != w) {
    if (m_pWatchedWindow) m_pWatchedWindow->removeEventFilter(this);
    m_pWatchedWindow = w;
    w->installEventFilter(this);
  }
  const QScreen* screen = w->screen();
  w->setGeometry(
      m_placement.Place(FrameMarginsOf(w), screen ? screen->availableGeometry() : QRect()));
  w->repaint();
}

bool CDensoraView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pWatchedWindow) {
    switch (event->type()) {
      case QEvent::WindowStateChange:
        if (m_pWatchedWindow->windowState() != Qt::WindowNoState) m_placement.Release();
        break;
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::WindowActivate:
        if (const auto client = m_placement.FrameKnown(FrameMarginsOf(m_pWatchedWindow))) {
          m_pWatchedWindow->setGeometry(*client);
        }
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}
