#include "views/test_data_page.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "framework/codepage.h"
#include "framework/qt/qt_text.h"
#include "model/densora_doc.h"
#include "model/family.h"
#include "model/messages.h"
#include "model/page_rules.h"

CTestDataPage::CTestDataPage(const QRect& tabRect, QWidget* parent)
    : CTabPage(tabRect, dlg::kTestDataPage, parent) {}

bool CTestDataPage::OnInitDialog() {
  CTabPage::OnInitDialog();
  // The mold weight is stored on each change, like the point weights.
  connect(ControlAs<QLineEdit>(IDC_MOLD_WEIGHT), &QLineEdit::textEdited, this,
          [this] { OnWeightChange(); });
  for (int row = 1; row <= kPointSlots; ++row) {
    for (int id : {MoldSoilId(row), WetId(row), DryId(row)}) {
      auto* edit = ControlAs<QLineEdit>(id);
      connect(edit, &QLineEdit::textEdited, this, [this] { OnWeightChange(); });
    }
    ControlAs<QLineEdit>(WetId(row))->installEventFilter(this);
    ControlAs<QLineEdit>(DryId(row))->installEventFilter(this);
  }
  connect(ControlAs<QPushButton>(IDC_CLEAR), &QPushButton::clicked, this,
          [this] { OnClearEntries(); });
  return true;
}

void CTestDataPage::DoDataExchange(DataExchange& dx) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  CompactionRecord& r = doc->m_record;
  for (int row = 1; row <= kPointSlots; ++row) dx.Number(WetId(row), r.Point(row - 1).m_dWetSample);
  for (int row = 1; row <= kPointSlots; ++row) dx.Number(DryId(row), r.Point(row - 1).m_dDrySample);
  for (int row = 1; row <= kPointSlots; ++row)
    dx.Number(MoldSoilId(row), r.Point(row - 1).m_dMoldSoil);
  // The mold volume cannot be edited here, but it is read back like every other field: the
  // record holds the volume as shown, to 15 significant digits (one thirtieth of a cubic
  // foot becomes 0.0333333333333333 after the first read).
  dx.Number(IDC_MOLD_VOLUME, r.m_dMoldVolume);
  dx.Number(IDC_MOLD_WEIGHT, r.m_dMoldWeight);
}

void CTestDataPage::RefreshPage() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  doc->m_record.GatherPresentPoints();
  UpdateData(false);
  // A one-point test takes one compacted specimen: its record shows the first row only (a
  // point already in another row stays shown, so that nothing stored is hidden).
  const bool onePoint = !doc->m_record.m_ext.onePointFamily.empty();
  for (int row = 2; row <= kPointSlots; ++row) {
    const bool shown = !onePoint || !doc->m_record.Point(row - 1).IsEmpty();
    for (int id : {MoldSoilId(row), WetId(row), DryId(row)}) Control(id)->setVisible(shown);
    for (QLabel* number : findChildren<QLabel*>()) {
      if (number->text() == QString::number(row)) number->setVisible(shown);
    }
  }
  if (!m_pFamily) {
    m_pFamily = new QLabel(this);
    m_pFamily->setObjectName(QStringLiteral("onePointFamily"));
    // Under the row, from the row numbers' column to the page's right margin.
    const QRect second = Control(MoldSoilId(2))->geometry();
    const int left = Control(MoldSoilId(1))->x() - second.width();
    m_pFamily->setWordWrap(true);
    m_pFamily->setGeometry(left, second.top(), width() - 2 * left, 2 * second.height());
  }
  const LabExtension& x = doc->m_record.m_ext;
  m_pFamily->setText(QStringLiteral("One-point test of the family %1 (%2)")
                         .arg(framework::FromCp1252(x.onePointFamily),
                              QString::fromStdString(KeyOf(framework::Cp1252ToUtf8(x.standard),
                                                           framework::Cp1252ToUtf8(x.method))
                                                         .Title())));
  m_pFamily->setVisible(onePoint && Control(MoldSoilId(2))->isHidden());
}

void CTestDataPage::OnWeightChange() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  UpdateData(true);
  doc->SetModifiedFlag();
}

void CTestDataPage::OnWetFocusIn(int row) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  auto* edit = ControlAs<QLineEdit>(WetId(row));
  if (pages::OffersDefaultWetSample(doc->m_record.Point(row - 1).m_dWetSample)) {
    edit->setText(QStringLiteral("300"));
    OnWeightChange();
  } else {
    UpdateData(false);
  }
  if (row == 1) {
    edit->selectAll();
    // A click places the caret after the focus arrives; select again once it has.
    QTimer::singleShot(0, edit, [edit] {
      if (edit->hasFocus()) edit->selectAll();
    });
  }
}

void CTestDataPage::OnDryFocusOut(int row) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  if (pages::DryExceedsWet(doc->m_record.Point(row - 1))) {
    m_bWarning = true;
    WarnAtField(DryId(row), msg::kDryOverWet);
    m_bWarning = false;
  }
}

void CTestDataPage::OnWetFocusOut(int row) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  if (pages::WetExceedsMoldSoil(doc->m_record.Point(row - 1))) {
    m_bWarning = true;
    framework::AfxMessageBox(msg::kWetOverMoldSoil);
    FocusAndSelect(MoldSoilId(row));
    m_bWarning = false;
  }
}

void CTestDataPage::OnClearEntries() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  // All texts first, then one read: every field becomes 0 without a message for a field
  // that is about to be cleared anyway.
  const QString zero = QStringLiteral("0.0");
  ControlAs<QLineEdit>(IDC_MOLD_WEIGHT)->setText(zero);
  for (int row = kPointSlots; row >= 1; --row) ControlAs<QLineEdit>(WetId(row))->setText(zero);
  for (int row = kPointSlots; row >= 1; --row) ControlAs<QLineEdit>(MoldSoilId(row))->setText(zero);
  for (int row = kPointSlots; row >= 1; --row) ControlAs<QLineEdit>(DryId(row))->setText(zero);
  doc->m_record.m_nPointCount = 0;
  UpdateData(true);
  FocusAndSelect(IDC_MOLD_WEIGHT);
  doc->SetModifiedFlag();
}

bool CTestDataPage::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && !m_bWarning &&
      isVisible()) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const int id = watched->property("controlId").toInt();
    if (IsUserFocusReason(reason)) {
      for (int row = 1; row <= kPointSlots; ++row) {
        if (event->type() == QEvent::FocusIn && id == WetId(row)) OnWetFocusIn(row);
        if (event->type() == QEvent::FocusOut && id == WetId(row)) OnWetFocusOut(row);
        if (event->type() == QEvent::FocusOut && id == DryId(row)) OnDryFocusOut(row);
      }
    }
  }
  return CTabPage::eventFilter(watched, event);
}
