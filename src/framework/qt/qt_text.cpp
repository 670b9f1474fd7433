#include "framework/qt/qt_text.h"

#include "framework/codepage.h"

namespace framework {

QString FromCp1252(const std::string& cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1252(const QString& text) {
  std::string out;
  const QList<uint> codes = text.toUcs4();
  out.reserve(static_cast<std::size_t>(codes.size()));
  for (uint c : codes) {
    const int b = UnicodeToCp1252(static_cast<char32_t>(c));
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

bool FitsCp1252(const QString& text) {
  for (uint c : text.toUcs4()) {
    if (UnicodeToCp1252(static_cast<char32_t>(c)) < 0) return false;
  }
  return true;
}

QValidator::State Cp1252Validator::validate(QString& input, int& pos) const {
  if (!FitsCp1252(input)) return Invalid;
  if (m_bUpperCase) {
    for (qsizetype i = 0; i < input.size(); ++i) {
      const QChar upper = input[i].toUpper();
      if (upper != input[i] && UnicodeToCp1252(upper.unicode()) >= 0) input[i] = upper;
    }
  }
  (void)pos;
  return Acceptable;
}

}  // namespace framework
