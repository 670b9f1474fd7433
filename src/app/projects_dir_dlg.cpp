#include "app/projects_dir_dlg.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/settings.h"

CProjectsDirDlg::CProjectsDirDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Change Projects Directory"));
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(QStringLiteral("SPECIFY DEFAULT PROJECTS DIRECTORY"), this);
  heading->setAlignment(Qt::AlignHCenter);
  layout->addWidget(heading);
  layout->addWidget(new QLabel(QStringLiteral("Projects directory:"), this));
  m_editDirectory = new QLineEdit(this);
  m_editDirectory->setObjectName(QStringLiteral("ctl1014"));
  m_editDirectory->setMinimumWidth(320);
  layout->addWidget(m_editDirectory);
  layout->addWidget(new QLabel(
      QStringLiteral("e.g., ") + QString::fromStdString(settings::DefaultProjectsDir()), this));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CProjectsDirDlg::accept() {
  m_strDirectory = m_editDirectory->text().toStdString();
  QDialog::accept();
}

void CProjectsDirDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The dialog opens at the top-left corner of the screen with the folder ready to retype.
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().topLeft());
  m_editDirectory->setFocus();
  m_editDirectory->selectAll();
}
