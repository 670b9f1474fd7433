#pragma once
// "Exclude from Fit": the reason a test point is left out of the fit, asked before it is. OK
// stays unavailable while the reason is blank: a point is never left out without one.
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

class CExclusionDlg : public QDialog {
  Q_OBJECT
 public:
  // For the point of row `row` (1 to 6).
  CExclusionDlg(int row, QWidget* parent = nullptr);

  // The reason after OK, in Windows-1252 as the record keeps it.
  std::string m_strReason;
  QLineEdit* Edit() const { return m_edit; }
  QPushButton* OkButton() const { return m_ok; }

  void accept() override;

 private:
  QLineEdit* m_edit;
  QPushButton* m_ok;
};
