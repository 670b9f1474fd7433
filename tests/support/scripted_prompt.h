#pragma once
// A prompt for tests: records every message and gives the planned answers in turn.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "framework/prompt.h"

struct ShownMessage {
  std::string text;
  framework::MsgButtons buttons;
  framework::MsgIcon icon;
  // The answer asked for as the default button; none: the box's own default.
  std::optional<framework::MsgAnswer> defaultAnswer;
};

class ScriptedPrompt : public framework::Prompt {
 public:
  ScriptedPrompt() { framework::SetPrompt(this); }
  ~ScriptedPrompt() override { framework::SetPrompt(nullptr); }

  // Answers to give, in order; with none planned, Ok boxes answer Ok and questions Cancel.
  void Plan(std::initializer_list<framework::MsgAnswer> answers) {
    m_answers.insert(m_answers.end(), answers);
  }

  framework::MsgAnswer Show(const std::string& text, framework::MsgButtons buttons,
                            framework::MsgIcon icon) override {
    shown.push_back({text, buttons, icon, std::nullopt});
    if (!m_answers.empty()) {
      const auto a = m_answers.front();
      m_answers.pop_front();
      return a;
    }
    return buttons == framework::MsgButtons::Ok ? framework::MsgAnswer::Ok
                                                : framework::MsgAnswer::Cancel;
  }

  framework::MsgAnswer ShowWithDefault(const std::string& text, framework::MsgButtons buttons,
                                       framework::MsgIcon icon,
                                       framework::MsgAnswer defaultAnswer) override {
    const framework::MsgAnswer answer = Show(text, buttons, icon);
    shown.back().defaultAnswer = defaultAnswer;
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& m : shown) t.push_back(m.text);
    return t;
  }

  std::vector<ShownMessage> shown;

 private:
  std::deque<framework::MsgAnswer> m_answers;
};
