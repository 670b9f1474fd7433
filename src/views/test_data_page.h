#pragma once
// The Test Data page ("CURVE DATA"): the mold weight and the three weights of each of the
// six test points, with the 300 g wet-sample offer and the weight-order warnings.
#include "views/tab_page.h"

class CTestDataPage : public CTabPage {
  Q_OBJECT
 public:
  enum { IDC_MOLD_WEIGHT = 1001, IDC_MOLD_VOLUME = 1002, IDC_CLEAR = 1024 };
  // The edits of row r (1 to 6).
  static int MoldSoilId(int row) { return 1003 + row; }
  static int WetId(int row) { return 1009 + row; }
  static int DryId(int row) { return 1015 + row; }

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
  bool m_bWarning = false;  // a weight-order warning is being shown
};
