#pragma once
// Tools > Relative Compaction: the laboratory's relative-compaction percentages, one edit
// holding the list ("90,95"), OK and Cancel. OK takes only a list the program can use.
#include <QDialog>
#include <vector>

class QLineEdit;

class CRelativeCompactionDlg : public QDialog {
  Q_OBJECT
 public:
  CRelativeCompactionDlg(const std::vector<double>& percents, QWidget* parent = nullptr);

  // The percentages after OK.
  std::vector<double> m_percents;
  QLineEdit* Edit() const { return m_edit; }

  // Takes the list, or says what a list must be and keeps the dialog open.
  void accept() override;

 private:
  QLineEdit* m_edit;
};
