#pragma once
// The About box (dialog 100): the document icon, the program's name and version, and its
// credit lines.
#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
