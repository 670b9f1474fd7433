#include "framework/qt/qt_prompt.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include "framework/codepage.h"

namespace framework {

namespace {

// A box that may have no escape answer. A question asked with Yes and No only is answered
// with one of them: Escape and the window's close button do nothing, as a No taken from
// a slip of the hand could throw the user's edits away.
class AnswerBox : public QMessageBox {
 public:
  AnswerBox(QWidget* owner, bool escapable) : QMessageBox(owner), m_bEscapable(escapable) {
    if (!escapable) {
      setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                     ~Qt::WindowCloseButtonHint);
    }
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (!m_bEscapable && e->key() == Qt::Key_Escape) {
      e->accept();
      return;
    }
    QMessageBox::keyPressEvent(e);
  }
  void closeEvent(QCloseEvent* e) override {
    if (!m_bEscapable && !m_bAnswered) {
      e->ignore();
      return;
    }
    QMessageBox::closeEvent(e);
  }
  void done(int r) override {
    // Only a button ends a box without an escape answer; a reject() from elsewhere does not.
    if (!m_bEscapable && clickedButton() == nullptr) return;
    m_bAnswered = true;
    QMessageBox::done(r);
  }

 private:
  bool m_bEscapable;
  bool m_bAnswered = false;
};

}  // namespace

MsgAnswer QtPrompt::Show(const std::string& text, MsgButtons buttons, MsgIcon icon) {
  return ShowWithDefault(text, buttons, icon,
                         buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes);
}

MsgAnswer QtPrompt::ShowWithDefault(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                    MsgAnswer defaultAnswer) {
  AnswerBox box(m_owner, buttons != MsgButtons::YesNo);
  box.setWindowTitle(QStringLiteral("Densora"));
  // Paths and field texts are shown as typed, never taken for markup.
  box.setTextFormat(Qt::PlainText);
  // A path may hold a name that is not UTF-8: its bytes show as the code page's characters.
  box.setText(QString::fromStdString(Utf8ForDisplay(text)));
  switch (icon) {
    case MsgIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MsgIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
  }
  switch (buttons) {
    case MsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  switch (defaultAnswer) {
    case MsgAnswer::Ok:
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MsgAnswer::Yes:
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case MsgAnswer::No:
      box.setDefaultButton(QMessageBox::No);
      break;
    case MsgAnswer::Cancel:
      box.setDefaultButton(QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MsgAnswer::Yes;
    case QMessageBox::No:
      return MsgAnswer::No;
    case QMessageBox::Ok:
      return MsgAnswer::Ok;
    default:
      break;
  }
  // Escape or the window's close button: OK for a message, Cancel for a question that has it
  // (a Yes/No question cannot end this way).
  return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

}  // namespace framework
