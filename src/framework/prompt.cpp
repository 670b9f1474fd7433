#include "framework/prompt.h"

#include <iostream>

namespace framework {
namespace {

class StderrPrompt : public Prompt {
 public:
  MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
    std::cerr << text << '\n';
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
};

StderrPrompt g_stderrPrompt;
Prompt* g_prompt = &g_stderrPrompt;

}  // namespace

Prompt& GetPrompt() { return *g_prompt; }

void SetPrompt(Prompt* prompt) { g_prompt = prompt ? prompt : &g_stderrPrompt; }

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
