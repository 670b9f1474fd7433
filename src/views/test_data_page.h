#pragma once
// The Test Data page ("CURVE DATA"): the mold weight and the three weights of each of the
// six test points, with the 300 g wet-sample offer and the weight-order warnings. A point's
// row has a menu (a right click on its number or fields, or the context-menu key, Shift+F10
// or Ctrl+Shift+X in its fields) that leaves the point out of the fit, with a reason, or takes
// it back; a row left out is greyed and keeps its weights.
#include <QPoint>

#include "views/control_ids.h"
#include "views/tab_page.h"

class QMenu;

class CTestDataPage : public CTabPage {
  Q_OBJECT
 public:
  using enum ctl::test_data::Id;
  // The edits of row r (1 to 6).
  static int MoldSoilId(int row) { return IDC_MOLD_SOIL_ROW1 + row - 1; }
  static int WetId(int row) { return IDC_WET_ROW1 + row - 1; }
  static int DryId(int row) { return IDC_DRY_ROW1 + row - 1; }
  static int NumberId(int row) { return IDC_NUMBER_ROW1 + row - 1; }

  CTestDataPage(const QRect& tabRect, QWidget* parent);

  bool OnInitDialog() override;
  void RefreshPage() override;
  void DoDataExchange(DataExchange& dx) override;

  void OnWeightChange();
  void OnWetFocusIn(int row);
  void OnDryFocusOut(int row);
  void OnWetFocusOut(int row);
  void OnClearEntries();
  // "Exclude from Fit…": asks for the reason, then leaves the row's point out of the fit.
  void OnExclude(int row);
  // "Include in Fit": gives the row's point back to the fit.
  void OnInclude(int row);
  // The row's menu at `globalPos`: the field's own entries first when `edit` is given.
  void ShowRowMenu(int row, QWidget* source, const QPoint& globalPos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Greys the rows whose points are left out of the fit, with the reason as their tooltip.
  void ShowExclusions();
  // The row (1 to 6) of a point field or number, or 0.
  static int RowOf(int id);

  bool m_bWarning = false;  // a weight-order warning is being shown
};
