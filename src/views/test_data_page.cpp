#include "views/test_data_page.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "framework/qt/qt_text.h"
#include "model/densora_doc.h"
#include "model/messages.h"
#include "model/page_rules.h"
#include "views/exclusion_dlg.h"

namespace {

// The key that works the row's menu directly from one of its fields.
const QKeySequence kExcludeKey(Qt::CTRL | Qt::SHIFT | Qt::Key_X);

// Whether `event` is a key that asks for the focused field's context menu.
bool AsksForMenu(const QKeyEvent* event) {
  return event->key() == Qt::Key_Menu ||
         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}

}  // namespace

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
      edit->installEventFilter(this);
      edit->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(edit, &QWidget::customContextMenuRequested, this,
              [this, row, edit](QPoint pos) { ShowRowMenu(row, edit, edit->mapToGlobal(pos)); });
    }
    QWidget* number = Control(NumberId(row));
    number->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(number, &QWidget::customContextMenuRequested, this, [this, row, number](QPoint pos) {
      ShowRowMenu(row, nullptr, number->mapToGlobal(pos));
    });
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
  ShowExclusions();
}

void CTestDataPage::OnWeightChange() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  // A row without weights holds no point to leave out, whatever reason a file kept for it:
  // the point typed into it is fitted, and so is the next one after its weights are cleared.
  CompactionRecord& r = doc->m_record;
  const auto forgetEmptyRows = [&r] {
    for (int slot = 0; slot < kPointSlots; ++slot) {
      if (r.Point(slot).IsEmpty()) r.m_ext.excluded[static_cast<std::size_t>(slot)].clear();
    }
  };
  forgetEmptyRows();
  UpdateData(true);
  forgetEmptyRows();
  ShowExclusions();
  doc->SetModifiedFlag();
}

int CTestDataPage::RowOf(int id) {
  for (int row = 1; row <= kPointSlots; ++row) {
    for (int rowId : {MoldSoilId(row), WetId(row), DryId(row), NumberId(row)}) {
      if (id == rowId) return row;
    }
  }
  return 0;
}

void CTestDataPage::ShowExclusions() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const CompactionRecord& r = doc->m_record;
  for (int row = 1; row <= kPointSlots; ++row) {
    const bool excluded = r.IsExcluded(row - 1);
    const QString tip =
        excluded ? QStringLiteral("Left out of the fit: ") +
                       framework::FromCp1252(r.m_ext.excluded[static_cast<std::size_t>(row - 1)])
                 : QString();
    for (int id : {MoldSoilId(row), WetId(row), DryId(row), NumberId(row)}) {
      QWidget* w = Control(id);
      QPalette palette;  // the page's own
      if (excluded) {
        const QColor grey = palette.color(QPalette::Disabled, QPalette::Text);
        palette.setColor(QPalette::Text, grey);
        palette.setColor(QPalette::WindowText, grey);
      }
      w->setPalette(palette);
      w->setToolTip(tip);
    }
  }
}

void CTestDataPage::ShowRowMenu(int row, QWidget* source, const QPoint& globalPos) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  auto* edit = qobject_cast<QLineEdit*>(source);
  std::unique_ptr<QMenu> menu(edit ? edit->createStandardContextMenu() : new QMenu(this));
  if (edit) menu->addSeparator();
  const CompactionRecord& r = doc->m_record;
  QAction* action = nullptr;
  if (r.IsExcluded(row - 1)) {
    action =
        menu->addAction(QStringLiteral("&Include in Fit"), this, [this, row] { OnInclude(row); });
  } else {
    action = menu->addAction(QStringLiteral("&Exclude from Fit\u2026"), this,
                             [this, row] { OnExclude(row); });
    // Only a point that is there can be left out.
    action->setEnabled(!r.Point(row - 1).IsEmpty());
  }
  action->setShortcut(kExcludeKey);
  action->setObjectName(QStringLiteral("rowFitAction"));
  menu->exec(globalPos);
}

void CTestDataPage::OnExclude(int row) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc || doc->m_record.Point(row - 1).IsEmpty() || doc->m_record.IsExcluded(row - 1)) return;
  CExclusionDlg dlg(row, this);
  if (dlg.exec() != QDialog::Accepted) return;
  doc->m_record.m_ext.excluded[static_cast<std::size_t>(row - 1)] = dlg.m_strReason;
  ShowExclusions();
  doc->SetModifiedFlag();
}

void CTestDataPage::OnInclude(int row) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc || !doc->m_record.IsExcluded(row - 1)) return;
  doc->m_record.m_ext.excluded[static_cast<std::size_t>(row - 1)].clear();
  ShowExclusions();
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
  doc->m_record.m_ext.excluded = {};
  ShowExclusions();
  FocusAndSelect(IDC_MOLD_WEIGHT);
  doc->SetModifiedFlag();
}

bool CTestDataPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const int row = RowOf(watched->property("controlId").toInt());
    if (edit && row != 0 && AsksForMenu(key)) {
      ShowRowMenu(row, edit, edit->mapToGlobal(QPoint(0, edit->height())));
      return true;
    }
    if (edit && row != 0 && QKeySequence(key->keyCombination()) == kExcludeKey) {
      CDensoraDoc* doc = GetActiveDocument();
      if (doc && doc->m_record.IsExcluded(row - 1)) {
        OnInclude(row);
      } else {
        OnExclude(row);
      }
      return true;
    }
  }
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
