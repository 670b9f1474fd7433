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

namespace {

using framework::MsgAnswer;
using framework::MsgButtons;
using framework::MsgIcon;

// Shows a box with `buttons` and, once it is up, does to it what `user` does.
MsgAnswer AskAndDo(MsgButtons buttons, const std::function<void(QMessageBox&)>& user) {
  QTimer::singleShot(0, [user] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    user(*box);
  });
  framework::QtPrompt prompt;
  return prompt.Show("Do you want to save the changes you made to \"7Sub.lng\"?", buttons,
                     MsgIcon::Stop);
}

void Escape(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }

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

TEST(QtPrompt, EscapeAnswersCancelWhereOfferedAndOkForAMessage) {
  EXPECT_EQ(AskAndDo(MsgButtons::YesNoCancel, Escape), MsgAnswer::Cancel);
  EXPECT_EQ(AskAndDo(MsgButtons::Ok, Escape), MsgAnswer::Ok);
}
