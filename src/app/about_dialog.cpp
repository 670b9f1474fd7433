#include "app/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/icons.h"
#include "framework/qt/dialog_units.h"
#include "views/dialog_template.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("dialog100"));
  setWindowTitle(QStringLiteral("About Densora"));
  setFont(framework::DialogFont());
  const framework::DialogUnits du(font());
  dlg::Build(this, dlg::kAboutBox, du);
  setFixedSize(du.X(dlg::kAboutBox.width), du.Y(dlg::kAboutBox.height));
  // The frame 1100 holds the document icon.
  if (QWidget* frame = dlg::FindControl(this, 1100)) {
    auto* icon = new QLabel(this);
    icon->setGeometry(frame->geometry().adjusted(0, 0, 12, 12));
    icon->setPixmap(icons::Document().pixmap(32, 32));
    delete frame;
  }
  if (auto* ok = dlg::FindControlAs<QPushButton>(this, 1)) {
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
}
