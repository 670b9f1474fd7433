#include "app/relative_compaction_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "framework/prompt.h"
#include "model/relative_compaction.h"

CRelativeCompactionDlg::CRelativeCompactionDlg(const std::vector<double>& percents, QWidget* parent)
    : QDialog(parent), m_percents(percents) {
  setWindowTitle(QStringLiteral("Relative Compaction"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Percentages of the maximum dry density to draw on the chart and print\n"
                     "with their moisture windows, separated by commas (90,95):"),
      this));
  m_edit = new QLineEdit(QString::fromStdString(FormatCompactionPercents(percents)), this);
  m_edit->setObjectName(QStringLiteral("percents"));
  layout->addWidget(m_edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  m_edit->selectAll();
}

void CRelativeCompactionDlg::accept() {
  const auto percents = ParseCompactionPercents(m_edit->text().toStdString());
  if (!percents) {
    framework::AfxMessageBox(std::string("Enter ") + kCompactionPercentsNeeded + ".");
    m_edit->setFocus();
    m_edit->selectAll();
    return;
  }
  m_percents = *percents;
  QDialog::accept();
}
