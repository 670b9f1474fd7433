#pragma once
// The Soil and Method page: the standard and method of the test, the mold volume, the
// specific gravity of the soil and the oversize fraction; below them, what those make of the
// points: each point's degree of saturation, the oversize-corrected results and the checks.
#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "model/lab_extension.h"
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
  // What number field `id` last accepted: its text, and the record's value then.
  struct Accepted {
    QString text;
    EntryValue value;
  };
  // The record's value that number field `id` edits (the mold volume a number).
  EntryValue ValueOf(int id) const;
  // Takes the text of the number fields into the record, and what follows from it.
  void AcceptNumbers();
  // Refuses what number field `id` holds: the field and the record go back to `accepted`,
  // then `message` says why.
  void RefuseNumber(int id, const std::string& message, const Accepted& accepted);
  // The name the page's messages give field `id`.
  static std::string NameOf(int id);

  QComboBox* m_pStandard = nullptr;
  QComboBox* m_pMethod = nullptr;
  QComboBox* m_pSource = nullptr;
  CDensityCurve& m_curve;
  bool m_bWarning = false;  // a range warning is being shown
  // Each number field as last accepted while typing, and as it was when it took the focus
  // (what a range warning on leaving gives back).
  std::map<int, Accepted> m_typed;
  std::map<int, Accepted> m_entered;
};
