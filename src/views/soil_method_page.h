#pragma once
// The Soil and Method page: the standard and method of the test, the mold volume, the
// specific gravity of the soil and the oversize fraction; below them, what those make of the
// points: each point's degree of saturation, the oversize-corrected results and the checks.
#include <string>
#include <string_view>

#include "views/control_ids.h"
#include "views/tab_page.h"

class CDensityCurve;
class QComboBox;

class CSoilMethodPage : public CTabPage {
  Q_OBJECT
 public:
  using enum ctl::soil_method::Id;
  // The saturation field of row r (1 to 6).
  static int SaturationId(int row) { return IDC_SATURATION_ROW1 + row - 1; }
  // The control that edits the laboratory's entry `key`; 0 for an entry not on the page.
  static int EntryControl(std::string_view key);

  // `curve` fits the record again when the page needs the fit's results up to date.
  CSoilMethodPage(const QRect& tabRect, QWidget* parent, CDensityCurve& curve);

  bool OnInitDialog() override;
  void RefreshPage() override;
  void DoDataExchange(DataExchange& dx) override;

  void OnNumberChange(int id);
  void OnSelectStandard();
  void OnSelectList(int id);
  void OnMoldButton(double volume);
  void OnNumberFocusOut(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The method list: blank, then the methods of the record's standard, and the record's
  // method itself when the standard does not have it, so that a file's text is kept.
  void FillMethods();
  // The read-only fields from the record and the fit's results.
  void ShowResults();

  QComboBox* m_pStandard = nullptr;
  QComboBox* m_pMethod = nullptr;
  QComboBox* m_pSource = nullptr;
  CDensityCurve& m_curve;
  bool m_bWarning = false;  // a range warning is being shown
};
