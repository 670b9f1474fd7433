#pragma once
// Every question and message of the program goes through one interface: a text, a set of
// buttons and an icon in, the answer out. The desktop program shows a message box captioned
// "Densora"; tests install a scripted prompt; the CLI writes the text to stderr.
#include <optional>
#include <string>
#include <vector>

namespace framework {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { None, Stop, Exclamation, Question, Information };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // `text` is UTF-8.
  virtual MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) = 0;
  // The same, with `defaultAnswer` on the default button, the one Enter presses. A question
  // whose Yes destroys or replaces data defaults to No, so that a stray Enter keeps the data.
  // A prompt that shows no buttons asks as Show does.
  virtual MsgAnswer ShowWithDefault(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                    MsgAnswer /*defaultAnswer*/) {
    return Show(text, buttons, icon);
  }
};

// The prompt in use; the default writes to stderr and answers Ok, No (Yes/No) or Cancel.
Prompt& GetPrompt();
// Installs a prompt (nullptr restores the default). The caller keeps ownership.
void SetPrompt(Prompt* prompt);

// While it lives, the messages of the program are kept instead of shown, and every question
// gets its safe answer (OK, No, Cancel): for the program's own work on a timer, where a box
// the user did not ask for would take the keyboard from what they are typing.
class CollectingPrompt : public Prompt {
 public:
  CollectingPrompt();
  ~CollectingPrompt() override;
  CollectingPrompt(const CollectingPrompt&) = delete;
  CollectingPrompt& operator=(const CollectingPrompt&) = delete;

  MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
  // The texts kept, in the order they were given.
  const std::vector<std::string>& Texts() const { return m_texts; }

 private:
  Prompt* m_previous;
  std::vector<std::string> m_texts;
};

// Without a `defaultAnswer` the box keeps its own default button: OK, or Yes for a question.
MsgAnswer AfxMessageBox(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
                        MsgIcon icon = MsgIcon::None,
                        std::optional<MsgAnswer> defaultAnswer = std::nullopt);

// Replaces every "%1" in a stock text with `arg`.
std::string FormatStock(const std::string& text, const std::string& arg);

// The framework's stock texts.
namespace stock {
inline constexpr const char* kUnexpectedFormat = "Unexpected file format.";
inline constexpr const char* kEnterNumber = "Please enter a number.";
inline constexpr const char* kInvalidPath = "%1 contains an invalid path.";
inline constexpr const char* kAccessDenied = "Access to %1 was denied.";
inline constexpr const char* kNotFound = "%1 was not found.";
inline constexpr const char* kSaveChanges = "Save changes to %1?";
inline constexpr const char* kDiskFull = "Disk full while accessing %1.";
inline constexpr const char* kSharingViolation = "Sharing violation while accessing %1.";
inline constexpr const char* kGenericFileError = "An unexpected error occurred while accessing %1.";
inline constexpr const char* kTooManyOpenFiles =
    "The file could not be accessed because too many files are open.";
inline constexpr const char* kUnnamedFile = "an unnamed file";
inline constexpr const char* kNotRegularFile = "%1 is not a regular file.";
inline constexpr const char* kTooLarge = "%1 is too large to be read.";
inline constexpr const char* kNotFolder = "%1 is not a folder.";
inline constexpr const char* kChangedOnDisk =
    "%1 was changed by another program since it was opened. Overwrite it?";
}  // namespace stock

}  // namespace framework
