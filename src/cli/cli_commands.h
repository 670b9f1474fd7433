#pragma once
// What densora-cli's own commands share: the tool's prompt, the open step, and each
// command's registration.
#include <iosfwd>
#include <string>

#include "cli/cli_json.h"
#include "framework/prompt.h"

class CDensoraDoc;

namespace cli {

// Writes the program's messages to the tool's error stream, each after `prefix`, while it
// exists; a question is answered Ok or Cancel, as no one is there to answer it.
class StreamPrompt : public framework::Prompt {
 public:
  StreamPrompt(std::ostream& err, std::string prefix);
  ~StreamPrompt() override;
  StreamPrompt(const StreamPrompt&) = delete;
  StreamPrompt& operator=(const StreamPrompt&) = delete;
  framework::MsgAnswer Show(const std::string& text, framework::MsgButtons buttons,
                            framework::MsgIcon icon) override;

 private:
  std::ostream& m_err;
  std::string m_prefix;
};

// OpenAndFit, keeping what the curve decided.
bool OpenFit(CDensoraDoc& doc, const std::string& path, Fitted& fitted, std::ostream& err);

void RegisterShow();
void RegisterWrite();
void RegisterSummary();
void RegisterFamily();

}  // namespace cli
