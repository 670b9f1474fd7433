#pragma once
// The Test Data page ("CURVE DATA"): the mold weight and the three weights of each of the
// six test points, with the 300 g wet-sample offer and the weight-order warnings.
#include "views/control_ids.h"
#include "views/tab_page.h"

class QLabel;

class CTestDataPage : public CTabPage {
  Q_OBJECT
 public:
  using enum ctl::test_data::Id;
  // The edits of row r (1 to 6).
  static int MoldSoilId(int row) { return IDC_MOLD_SOIL_ROW1 + row - 1; }
  static int WetId(int row) { return IDC_WET_ROW1 + row - 1; }
  static int DryId(int row) { return IDC_DRY_ROW1 + row - 1; }

  CTestDataPage(const QRect& tabRect, QWidget* parent);

  bool OnInitDialog() override;
  void RefreshPage() override;
  void DoDataExchange(DataExchange& dx) override;

  void OnWeightChange();
  void OnWetFocusIn(int row);
  void OnDryFocusOut(int row);
  void OnWetFocusOut(int row);
  void OnClearEntries();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool m_bWarning = false;      // a weight-order warning is being shown
  QLabel* m_pFamily = nullptr;  // a one-point test's family, in the place of the rows it hides
};
