#pragma once
// The main form: the projects tree on the left and, on the right, the tab control with the
// five pages that edit the record. It is the document's only view.
#include <QPointer>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "chart/density_chart.h"
#include "framework/document.h"
#include "model/density_curve.h"
#include "views/control_ids.h"
#include "views/window_placement.h"

class CDensoraDoc;
class CTabPage;
class CProjectInfoPage;
class CTestDataPage;
class CCurvePage;
class CLongTestPage;
class CSoilMethodPage;
class CProjectTree;
class QTabWidget;

namespace framework {
class Tone;
}

struct ViewOptions {
  std::vector<std::string> counties;  // the County list, Windows-1252
  framework::Tone* tone = nullptr;    // the chart's warning tone
};

class CDensoraView : public QWidget, public framework::CView {
  Q_OBJECT
 public:
  using enum ctl::main_form::Id;
  // The main window's place and size after every initial update.
  static constexpr int kWindowWidth = 690;
  static constexpr int kWindowHeight = 532;

  CDensoraView(CDensoraDoc& doc, ViewOptions options, QWidget* parent = nullptr);
  ~CDensoraView() override;

  CDensoraDoc* GetDocument() const { return &m_doc; }

  // Refreshes the pages and the tree, creates the pages the first time, shows the selected
  // tab's page and puts the main window at the screen's top-left corner.
  void OnInitialUpdate();
  // Refreshes the pages in tab order; every hint but 1 also rebuilds the projects tree.
  void OnUpdate(framework::CView* sender, long hint) override;
  // Shows the selected tab's page: refreshed, shown, focused, refreshed again.
  void OnSelchangeTab();
  // The page of the selected tab, or nullptr.
  CTabPage* GetCurrentPage() const;
  // Selects the tab `step` places on (negative: back), going round at either end.
  void StepTab(int step);

  CProjectTree& Tree() const { return *m_pTree; }
  QTabWidget& Tabs() const { return *m_pTabs; }
  // The view's own curve, for the document commands and the report, and the report's chart
  // of it, which sounds the warning tone.
  CDensityCurve& Curve() { return m_curve; }
  CDensityChart& Chart() { return m_chart; }
  int TabBarHeight() const;
  CTabPage* ShownPage() const { return m_pShownPage; }

  CProjectInfoPage* ProjectInfoPage() const { return m_pProjectInfo; }
  CTestDataPage* TestDataPage() const { return m_pTestData; }
  CCurvePage* CurvePage() const { return m_pCurve; }
  CLongTestPage* LongTestPage() const { return m_pLongTest; }
  CSoilMethodPage* SoilMethodPage() const { return m_pSoilMethod; }

  // Puts the main window at the screen's top-left corner at 690 × 532, its frame included
  // (again as soon as the window manager has framed a window shown before it had a frame);
  // on a screen whose free area is smaller, as large as that area and inside it.
  void PlaceMainWindow();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Refreshes the pages in tab order.
  void RefreshPages();
  // The pages in tab order.
  std::array<CTabPage*, 5> PagesInTabOrder() const;

  CDensoraDoc& m_doc;
  ViewOptions m_options;
  CProjectTree* m_pTree = nullptr;
  QTabWidget* m_pTabs = nullptr;
  CDensityCurve m_curve;
  CDensityChart m_chart{m_curve};
  CProjectInfoPage* m_pProjectInfo = nullptr;
  CTestDataPage* m_pTestData = nullptr;
  CCurvePage* m_pCurve = nullptr;
  CLongTestPage* m_pLongTest = nullptr;
  CSoilMethodPage* m_pSoilMethod = nullptr;
  bool m_bPagesCreated = false;
  CTabPage* m_pShownPage = nullptr;
  FramePlacement m_placement{QRect(0, 0, kWindowWidth, kWindowHeight)};
  QPointer<QWidget> m_pWatchedWindow;
};
