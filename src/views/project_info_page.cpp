#include "views/project_info_page.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "framework/qt/qt_text.h"
#include "model/densora_doc.h"
#include "model/page_rules.h"

namespace {
constexpr int kEdits[] = {CProjectInfoPage::IDC_PROJECT,   CProjectInfoPage::IDC_TIP_NO,
                          CProjectInfoPage::IDC_STATION,   CProjectInfoPage::IDC_TEST_NO,
                          CProjectInfoPage::IDC_TESTED_BY, CProjectInfoPage::IDC_COMMENTS};

std::string PickerText(const QDate& d) {
  return pages::FormatRecordDate(d.year(), d.month(), d.day());
}
}  // namespace

CProjectInfoPage::CProjectInfoPage(const QRect& tabRect, QWidget* parent,
                                   std::vector<std::string> counties)
    : CTabPage(tabRect, dlg::kProjectInfoPage, parent), m_counties(std::move(counties)) {}

const std::vector<std::string>& CProjectInfoPage::TestTypes() {
  static const std::vector<std::string> types{"Cement", "Curve (no long test)", "Embankment",
                                              "Lime", "Subgrade"};
  return types;
}

bool CProjectInfoPage::OnInitDialog() {
  CTabPage::OnInitDialog();
  m_pTestType = ControlAs<QComboBox>(IDC_TEST_TYPE);
  m_pCounty = ControlAs<QComboBox>(IDC_COUNTY);
  m_pDate = ControlAs<QDateEdit>(IDC_DATE);
  for (const std::string& t : TestTypes()) m_pTestType->addItem(framework::FromCp1252(t));
  for (const std::string& c : m_counties) m_pCounty->addItem(framework::FromCp1252(c));
  m_pTestType->setCurrentIndex(-1);
  m_pCounty->setCurrentIndex(-1);
  const pages::CalendarDay today = pages::Today();
  SetPicker(QDate(today.year, today.month, today.day));

  for (int id : kEdits) {
    connect(ControlAs<QLineEdit>(id), &QLineEdit::textEdited, this, [this] { OnEditChange(); });
  }
  connect(m_pTestType, &QComboBox::activated, this, [this] { OnSelectList(IDC_TEST_TYPE); });
  connect(m_pCounty, &QComboBox::activated, this, [this] { OnSelectList(IDC_COUNTY); });
  connect(m_pDate, &QDateEdit::dateChanged, this, &CProjectInfoPage::OnDateChange);
  connect(ControlAs<QPushButton>(IDC_CLEAR), &QPushButton::clicked, this,
          [this] { OnClearEntries(); });

  // A record that already has a date (one read from a file) keeps it; an undated one is
  // dated today.
  ShowRecordDate();
  return true;
}

void CProjectInfoPage::DoDataExchange(DataExchange& dx) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  CompactionRecord& r = doc->m_record;
  dx.Text(IDC_COMMENTS, r.m_strComments);
  dx.Text(IDC_PROJECT, r.m_strProject);
  dx.Text(IDC_STATION, r.m_strStation);
  dx.Text(IDC_TEST_NO, r.m_strTestNo);
  dx.Text(IDC_TESTED_BY, r.m_strTestedBy);
  dx.Text(IDC_TIP_NO, r.m_strTipNo);
  dx.Text(IDC_COUNTY, r.m_strCounty);
  dx.Text(IDC_TEST_TYPE, r.m_strTestType);
}

void CProjectInfoPage::SelectListText(QComboBox* list, int fixedItems, const std::string& text) {
  while (list->count() > fixedItems) list->removeItem(list->count() - 1);
  if (text.empty()) {
    list->setCurrentIndex(-1);
    return;
  }
  const QString wanted = framework::FromCp1252(text);
  for (int i = 0; i < fixedItems; ++i) {
    if (list->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
      list->setCurrentIndex(i);
      return;
    }
  }
  list->addItem(wanted);
  list->setCurrentIndex(fixedItems);
}

void CProjectInfoPage::RefreshPage() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  CompactionRecord& r = doc->m_record;
  SelectListText(m_pTestType, static_cast<int>(TestTypes().size()), r.m_strTestType);
  SelectListText(m_pCounty, static_cast<int>(m_counties.size()), r.m_strCounty);
  UpdateData(false);
  ShowRecordDate();
}

void CProjectInfoPage::ShowRecordDate() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  doc->DateUndatedRecord();
  int y = 0, m = 0, d = 0;
  if (pages::ParseRecordDate(doc->m_record.m_strDate, y, m, d)) {
    const QDate date(y, m, d);
    if (date.isValid() && date >= m_pDate->minimumDate() && date <= m_pDate->maximumDate()) {
      SetPicker(date);
    }
  }
}

void CProjectInfoPage::SetPicker(const QDate& date) {
  const QSignalBlocker block(m_pDate);
  m_pDate->setDate(date);
}

void CProjectInfoPage::OnEditChange() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  UpdateData(true);
  doc->SetModifiedFlag();
}

void CProjectInfoPage::OnSelectList(int id) {
  CDensoraDoc* doc = GetActiveDocument();
  QComboBox* list = ControlAs<QComboBox>(id);
  if (!doc || !list || list->currentIndex() < 0) return;
  const std::string text = framework::ToCp1252(list->currentText());
  if (id == IDC_TEST_TYPE) {
    doc->m_record.m_strTestType = text;
  } else {
    doc->m_record.m_strCounty = text;
  }
  doc->SetModifiedFlag();
  UpdateData(false);
}

void CProjectInfoPage::OnDateChange(const QDate& date) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc || !date.isValid()) return;
  doc->m_record.m_strDate = PickerText(date);
  doc->SetModifiedFlag();
}

void CProjectInfoPage::OnClearEntries() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  ControlAs<QLineEdit>(IDC_TESTED_BY)->clear();
  for (int id : {IDC_STATION, IDC_TIP_NO, IDC_TEST_NO, IDC_PROJECT})
    ControlAs<QLineEdit>(id)->clear();
  SelectListText(m_pTestType, static_cast<int>(TestTypes().size()), std::string());
  SelectListText(m_pCounty, static_cast<int>(m_counties.size()), std::string());
  ControlAs<QLineEdit>(IDC_COMMENTS)->clear();
  UpdateData(true);
  // A cleared record is a new test: it starts today, and the picker shows it.
  doc->m_record.m_strDate.clear();
  ShowRecordDate();
  FocusAndSelect(IDC_PROJECT);
  doc->SetModifiedFlag();
}
