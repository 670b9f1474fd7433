// The desktop prompt with real message boxes: a question with Yes and No is answered only with
// Yes or No, so that a slip of the hand never stands for one of them.
#include "framework/qt/qt_prompt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

namespace {

using framework::MsgAnswer;
using framework::MsgButtons;
using framework::MsgIcon;

// Shows a box with `buttons` (and `defaultAnswer`, if any) and, once it is up, does to it
// what `user` does.
MsgAnswer AskAndDo(MsgButtons buttons, const std::function<void(QMessageBox&)>& user,
                   std::optional<MsgAnswer> defaultAnswer = std::nullopt) {
  QTimer::singleShot(0, [user] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    user(*box);
  });
  framework::QtPrompt prompt;
  const std::string text = "Do you want to save the changes you made to \"7Sub.lng\"?";
  return defaultAnswer ? prompt.ShowWithDefault(text, buttons, MsgIcon::Stop, *defaultAnswer)
                       : prompt.Show(text, buttons, MsgIcon::Stop);
}

void Escape(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }
void Enter(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }

}  // namespace

TEST(QtPrompt, AYesNoQuestionIgnoresEscapeAndTheCloseButton) {
  for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
    const MsgAnswer answer = AskAndDo(MsgButtons::YesNo, [button](QMessageBox& box) {
      Escape(box);
      box.close();
      box.reject();
      EXPECT_TRUE(box.isVisible());
      box.button(button)->click();
    });
    EXPECT_EQ(answer, button == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No);
  }
}

// Enter presses the default button: Yes for a question, unless it is asked with No as its
// default, as a question is whose Yes would lose data.
TEST(QtPrompt, EnterPressesTheDefaultButton) {
  EXPECT_EQ(AskAndDo(MsgButtons::YesNo, Enter), MsgAnswer::Yes);
  EXPECT_EQ(AskAndDo(MsgButtons::YesNoCancel, Enter), MsgAnswer::Yes);
  EXPECT_EQ(AskAndDo(MsgButtons::Ok, Enter), MsgAnswer::Ok);
  EXPECT_EQ(AskAndDo(MsgButtons::YesNo, Enter, MsgAnswer::No), MsgAnswer::No);
  EXPECT_EQ(AskAndDo(MsgButtons::YesNoCancel, Enter, MsgAnswer::No), MsgAnswer::No);
}

TEST(QtPrompt, EscapeAnswersCancelWhereOfferedAndOkForAMessage) {
  EXPECT_EQ(AskAndDo(MsgButtons::YesNoCancel, Escape), MsgAnswer::Cancel);
  EXPECT_EQ(AskAndDo(MsgButtons::Ok, Escape), MsgAnswer::Ok);
}
