#include "views/tab_page.h"

#include <QComboBox>
#include <QLineEdit>

#include "framework/qt/dialog_units.h"
#include "framework/qt/qt_text.h"
#include "model/page_rules.h"
#include "views/densora_view.h"

namespace {

// Writes a number field's text; an unchanged text is left alone, so that the caret stays
// where it is, and a new one shows its start, like a freshly written edit.
void ShowText(QLineEdit& edit, const QString& text) {
  if (edit.text() == text) return;
  edit.setText(text);
  edit.setCursorPosition(0);
}

}  // namespace

void DataExchange::Text(int id, std::string& field) {
  if (m_bFailed) return;
  QWidget* w = m_page.Control(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (m_bSave) {
      field = framework::ToCp1252(edit->text());
    } else {
      const QString text = framework::FromCp1252(field);
      // An unchanged text is left alone, so that the caret stays where it is.
      if (edit->text() != text) {
        edit->setText(text);
        edit->setCursorPosition(0);
      }
    }
  } else if (auto* list = qobject_cast<QComboBox*>(w)) {
    if (m_bSave) {
      field = list->currentIndex() < 0 ? std::string() : framework::ToCp1252(list->currentText());
    }
  }
}

void DataExchange::Number(int id, double& field) { NumberField(id, field, false); }

void DataExchange::OptionalNumber(int id, double& field) { NumberField(id, field, true); }

void DataExchange::OptionalNumber(int id, std::optional<double>& field) {
  if (m_bFailed) return;
  auto* edit = qobject_cast<QLineEdit*>(m_page.Control(id));
  if (!edit) return;
  if (m_bSave) {
    if (!pages::ParseOptionalNumber(framework::ToCp1252(edit->text()), field)) {
      m_bFailed = true;
      m_page.WarnAtField(id, framework::stock::kEnterNumber, framework::MsgIcon::Exclamation);
    }
    return;
  }
  ShowText(*edit, QString::fromStdString(pages::FormatOptionalNumber(field)));
}

void DataExchange::NumberField(int id, double& field, bool optional) {
  if (m_bFailed) return;
  auto* edit = qobject_cast<QLineEdit*>(m_page.Control(id));
  if (!edit) return;
  if (m_bSave) {
    double v = 0.0;
    const std::string text = framework::ToCp1252(edit->text());
    if (!(optional ? pages::ParseOptionalNumber(text, v) : pages::ParseNumber(text, v))) {
      m_bFailed = true;
      m_page.WarnAtField(id, framework::stock::kEnterNumber, framework::MsgIcon::Exclamation);
      return;
    }
    field = v;
  } else {
    ShowText(*edit, QString::fromStdString(optional ? pages::FormatOptionalNumber(field)
                                                    : pages::FormatNumber(field)));
  }
}

CTabPage::CTabPage(const QRect& tabRect, const dlg::Template& tpl, QWidget* parent)
    : QWidget(parent), m_rcTab(tabRect), m_tpl(tpl) {
  setObjectName(QStringLiteral("page%1").arg(tpl.id));
  hide();
}

CTabPage::~CTabPage() = default;

void CTabPage::Create() {
  const framework::DialogUnits du(font());
  setFixedSize(du.X(m_tpl.width), du.Y(m_tpl.height));
  m_controls = dlg::Build(this, m_tpl, du);
  OnInitDialog();
}

bool CTabPage::OnInitDialog() {
  Place();
  show();
  raise();
  return true;
}

void CTabPage::Place() {
  // The page lies on the tab control's display area: below the tabs, a little in from the
  // control's left edge.
  const framework::DialogUnits du(font());
  int tabsHeight = du.Y(14);
  if (auto* view = qobject_cast<CDensoraView*>(parentWidget())) {
    tabsHeight = view->TabBarHeight();
  }
  move(m_rcTab.left() + du.X(6), m_rcTab.top() + tabsHeight + du.Y(6));
}

bool CTabPage::UpdateData(bool saveAndValidate) {
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return !dx.Failed();
}

bool CTabPage::IsNumericText(const std::string& text) { return pages::IsNumericText(text); }

QWidget* CTabPage::Control(int id) const {
  const auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : it->second;
}

CDensoraDoc* CTabPage::GetActiveDocument() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (auto* view = qobject_cast<CDensoraView*>(w)) return view->GetDocument();
  }
  return nullptr;
}

void CTabPage::WarnAtField(int id, const std::string& text, framework::MsgIcon icon) {
  framework::AfxMessageBox(text, framework::MsgButtons::Ok, icon);
  FocusAndSelect(id);
}

void CTabPage::FocusFirstControl() {
  for (const dlg::Control& c : m_tpl.controls) {
    if (c.kind == dlg::Kind::Label || c.kind == dlg::Kind::Frame || (c.style & dlg::kNoTabStop)) {
      continue;
    }
    QWidget* w = Control(c.id);
    if (w && w->isEnabled() && w->focusPolicy() != Qt::NoFocus) {
      w->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
  setFocus(Qt::OtherFocusReason);
}

void CTabPage::FocusAndSelect(int id) {
  QWidget* w = Control(id);
  if (!w) return;
  // A field takes the focus with its whole text selected (dlg::FieldEdit), also when a
  // message box still holds it and the window gets it back later; one that already has the
  // focus gets no new focus, and is selected here.
  w->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

bool CTabPage::IsUserFocusReason(Qt::FocusReason reason) {
  return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
}
