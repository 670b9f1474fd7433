#pragma once
// The edge between record texts (Windows-1252 bytes) and the widgets' QString, and the
// validator that keeps every edit inside what Windows-1252 can hold.
#include <QString>
#include <QValidator>
#include <string>

namespace framework {

QString FromCp1252(const std::string& cp1252);
// Every character of `text` must be one Windows-1252 holds; the edits see to that. A
// character that slipped past anyway becomes "?".
std::string ToCp1252(const QString& text);
// True when every character of `text` has a Windows-1252 byte.
bool FitsCp1252(const QString& text);

// Refuses, as it is typed or pasted, any character that Windows-1252 cannot hold. With
// `upperCase`, letters are turned into capitals as they are typed (a letter whose capital
// the code page lacks stays as typed).
class Cp1252Validator : public QValidator {
  Q_OBJECT
 public:
  explicit Cp1252Validator(bool upperCase, QObject* parent = nullptr)
      : QValidator(parent), m_bUpperCase(upperCase) {}
  State validate(QString& input, int& pos) const override;

 private:
  bool m_bUpperCase;
};

}  // namespace framework
