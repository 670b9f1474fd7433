#pragma once
// The Project Information page: project, T.I.P. No., County, Station, Date, Test Type,
// Test No., Tested by and Comments of the record.
#include <QDate>
#include <string>
#include <vector>

#include "views/control_ids.h"
#include "views/tab_page.h"

class QComboBox;
class QDateEdit;

class CProjectInfoPage : public CTabPage {
  Q_OBJECT
 public:
  using enum ctl::project_info::Id;

  // `counties` (Windows-1252) fill the County list, in their order.
  CProjectInfoPage(const QRect& tabRect, QWidget* parent, std::vector<std::string> counties);

  bool OnInitDialog() override;
  void RefreshPage() override;
  void DoDataExchange(DataExchange& dx) override;

  // The Test Type list.
  static const std::vector<std::string>& TestTypes();

  void OnEditChange();
  void OnSelectList(int id);
  void OnDateChange(const QDate& date);
  void OnClearEntries();

 private:
  // Selects the list item whose text equals `text` without regard to letter case. A text
  // the list does not hold is added after the fixed items and selected, so that it shows
  // and is kept; an empty text selects nothing.
  void SelectListText(QComboBox* list, int fixedItems, const std::string& text);
  // Sets the picker without the change counting as the user's.
  void SetPicker(const QDate& date);
  // Sets the picker to the record's date when it has one that the picker can show; an
  // undated record (a new or cleared one) is dated today first, without marking the
  // document modified. A date text read from a file is never rewritten, even one the picker
  // shows normalised or cannot show at all: the file keeps what the technician wrote.
  void ShowRecordDate();

  QComboBox* m_pTestType = nullptr;
  QComboBox* m_pCounty = nullptr;
  QDateEdit* m_pDate = nullptr;
  std::vector<std::string> m_counties;
};
