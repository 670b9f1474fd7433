#pragma once
// The desktop program's prompt: a modal message box captioned "Densora".
#include <QPointer>
#include <QWidget>

#include "framework/prompt.h"

namespace framework {

class QtPrompt : public Prompt {
 public:
  // `owner` is the window the boxes are centred on; it may be null or go away.
  explicit QtPrompt(QWidget* owner = nullptr) : m_owner(owner) {}
  // The default button is OK, or Yes for a question.
  MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
  MsgAnswer ShowWithDefault(const std::string& text, MsgButtons buttons, MsgIcon icon,
                            MsgAnswer defaultAnswer) override;

 private:
  QPointer<QWidget> m_owner;
};

}  // namespace framework
