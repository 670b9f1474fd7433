#include "views/exclusion_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/qt/qt_text.h"

namespace {
// Long enough for "mold not seated on the base plate, soil lost at the collar"; the report
// breaks a long line onto the next row.
constexpr int kMaxReasonLength = 120;
}  // namespace

CExclusionDlg::CExclusionDlg(int row, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Exclude from Fit"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Why is point %1 left out of the fit? Its weights are kept.").arg(row), this));
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("reason"));
  m_edit->setMaxLength(kMaxReasonLength);
  m_edit->setMinimumWidth(320);
  // Only what a compaction file can keep can be typed.
  m_edit->setValidator(new framework::Cp1252Validator(false, m_edit));
  layout->addWidget(m_edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  m_ok->setDefault(true);
  m_ok->setEnabled(false);
  connect(m_edit, &QLineEdit::textChanged, this,
          [this](const QString& text) { m_ok->setEnabled(!text.trimmed().isEmpty()); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CExclusionDlg::accept() {
  const QString reason = m_edit->text().trimmed();
  if (reason.isEmpty()) return;  // Enter on a blank reason does nothing
  m_strReason = framework::ToCp1252(reason);
  QDialog::accept();
}
