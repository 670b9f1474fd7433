#pragma once
// The Change Projects Directory dialog: one edit (1014) for the folder, OK and Cancel.
#include <QDialog>
#include <string>

class QLineEdit;

class CProjectsDirDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CProjectsDirDlg(QWidget* parent = nullptr);
  // The text of the edit after OK (UTF-8); empty after Cancel.
  std::string m_strDirectory;
  QLineEdit* Edit() const { return m_editDirectory; }

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* m_editDirectory;
};
