#include "framework/prompt.h"

#include <iostream>

namespace framework {
namespace {

// The answer that changes nothing: OK to a message, No to a Yes/No question, Cancel where
// there is one.
MsgAnswer SafeAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return MsgAnswer::Ok;
    case MsgButtons::YesNo:
      return MsgAnswer::No;
    case MsgButtons::YesNoCancel:
      return MsgAnswer::Cancel;
  }
  return MsgAnswer::Cancel;
}

class StderrPrompt : public Prompt {
 public:
  MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
    std::cerr << text << '\n';
    return SafeAnswer(buttons);
  }
};

StderrPrompt g_stderrPrompt;
Prompt* g_prompt = &g_stderrPrompt;

}  // namespace

Prompt& GetPrompt() { return *g_prompt; }

void SetPrompt(Prompt* prompt) { g_prompt = prompt ? prompt : &g_stderrPrompt; }

CollectingPrompt::CollectingPrompt() : m_previous(&GetPrompt()) { SetPrompt(this); }

CollectingPrompt::~CollectingPrompt() { SetPrompt(m_previous); }

MsgAnswer CollectingPrompt::Show(const std::string& text, MsgButtons buttons, MsgIcon) {
  m_texts.push_back(text);
  return SafeAnswer(buttons);
}

MsgAnswer AfxMessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                        std::optional<MsgAnswer> defaultAnswer) {
  if (defaultAnswer) return g_prompt->ShowWithDefault(text, buttons, icon, *defaultAnswer);
  return g_prompt->Show(text, buttons, icon);
}

std::string FormatStock(const std::string& text, const std::string& arg) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
      out += arg;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace framework
