// The code-page edge of the widgets and the dialog-unit helper.
#include "framework/qt/qt_text.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "framework/qt/dialog_units.h"
#include "support_qt/type_text.h"

using framework::Cp1252Validator;

TEST(Cp1252Text, RoundTripsEveryCodePageByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(framework::ToCp1252(framework::FromCp1252(all)), all);
  EXPECT_EQ(framework::FromCp1252("kg/m\xB3"), QStringLiteral("kg/m\u00B3"));
  EXPECT_EQ(framework::ToCp1252(QStringLiteral("\u20AC")), "\x80");
}

TEST(Cp1252Text, KnowsWhatFits) {
  EXPECT_TRUE(framework::FitsCp1252(QStringLiteral("Caf\u00E9 \u20AC \u0178")));
  EXPECT_FALSE(framework::FitsCp1252(QStringLiteral("\u0100")));
  EXPECT_FALSE(framework::FitsCp1252(QString::fromUcs4(U"\U0001F600")));
}

TEST(Cp1252Validator, RefusesACharacterTheCodePageCannotHold) {
  Cp1252Validator v(false);
  QString text = QStringLiteral("ab\u0100");
  int pos = 3;
  EXPECT_EQ(v.validate(text, pos), QValidator::Invalid);
  text = QStringLiteral("12+50 RT \u00B7");
  EXPECT_EQ(v.validate(text, pos), QValidator::Acceptable);
}

TEST(Cp1252Validator, TypedIntoAnEditTheCharacterNeverArrives) {
  QLineEdit edit;
  edit.setValidator(new Cp1252Validator(false, &edit));
  TypeText(&edit, QStringLiteral("a\u0100b\u4E2Dc"));
  EXPECT_EQ(edit.text(), QStringLiteral("abc"));
}

TEST(Cp1252Validator, UpperCaseKeepsLettersWithoutACapitalInTheCodePage) {
  QLineEdit edit;
  edit.setValidator(new Cp1252Validator(true, &edit));
  // "µ" would become Greek capital mu, which Windows-1252 lacks; "ÿ" becomes "Ÿ" (0x9F).
  TypeText(&edit, QStringLiteral("main st \u00B5\u00FF\u00E9"));
  EXPECT_EQ(edit.text(), QStringLiteral("MAIN ST \u00B5\u0178\u00C9"));
}

TEST(DialogUnits, QuarterWidthAndEighthHeight) {
  const framework::DialogUnits du(6, 13);
  EXPECT_EQ(du.X(4), 6);
  EXPECT_EQ(du.Y(8), 13);
  EXPECT_EQ(du.X(450), 675);
  EXPECT_EQ(du.Y(270), 439);  // 438.75 rounded
  EXPECT_EQ(du.Rect(7, 7, 98, 256), QRect(11, 11, 147, 416));
  // Places meet exactly: a control ending where the next begins leaves no gap.
  EXPECT_EQ(du.Rect(0, 0, 5, 5).right() + 1, du.X(5));
}

TEST(DialogUnits, TakesTheFontsAverageLetterWidth) {
  const QFont font = framework::DialogFont();
  const framework::DialogUnits du(font);
  const QFontMetrics fm(font);
  const int width =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ(du.BaseX(), (width / 26 + 1) / 2);
  EXPECT_EQ(du.BaseY(), fm.height());
  EXPECT_EQ(font.pointSize(), 8);
}
