#pragma once
// Dialog templates: the controls of a page or form as a table of kinds, identifiers, texts
// and places in dialog units, and the builder that makes widgets of them. Every control
// keeps its numeric identifier, by which the code and the tests find it.
#include <QWidget>
#include <map>
#include <span>

namespace framework {
class DialogUnits;
}

namespace dlg {

enum class Kind {
  Label,       // static text; a width of 0 sizes it to its text
  Edit,        // one-line edit
  TextBox,     // text of several lines, wrapped at its width, that scrolls when longer
  DropList,    // drop-down list; the height includes the open list
  DatePicker,  // date picker with a calendar that drops down
  Button,      // push button
  Radio,       // automatic radio button
  Frame,       // the frame a custom window is attached to
  Tree,        // tree view
  Tabs,        // tab control
};

enum Style : unsigned {
  kNone = 0,
  kRight = 1u << 0,   // right-aligned text
  kCenter = 1u << 1,  // centred text (labels)
  kUpper = 1u << 2,   // letters typed become capitals
  kReadOnly = 1u << 3,
  kNoTabStop = 1u << 4,  // reached by the mouse, not by Tab
  kGroup = 1u << 5,      // starts a group of radio buttons
  kWrap = 1u << 6,       // a label that may break into several lines
  kDefault = 1u << 7,    // the default push button
};

inline constexpr int kNoId = -1;

struct Control {
  Kind kind;
  int id;
  const char* text;  // UTF-8
  int x, y, w, h;    // dialog units
  unsigned style;
};

struct Template {
  int id;
  int width, height;  // dialog units
  std::span<const Control> controls;
};

// Builds the controls of `tpl` as children of `parent`, in the table's order, which is also
// the tab order of the controls that are tab stops. Returns the controls by identifier
// (controls without one are left out). Each control carries its identifier in the
// "controlId" property and is named "ctl<id>".
std::map<int, QWidget*> Build(QWidget* parent, const Template& tpl,
                              const framework::DialogUnits& du);

// The control of `parent` (or below it) with identifier `id`, or nullptr.
QWidget* FindControl(const QWidget* parent, int id);
template <class T>
T* FindControlAs(const QWidget* parent, int id) {
  return qobject_cast<T*>(FindControl(parent, id));
}

// The templates.
extern const Template kMainForm;         // 101: the main form view
extern const Template kProjectInfoPage;  // 130
extern const Template kCurvePage;        // 131
extern const Template kTestDataPage;     // 132
extern const Template kLongTestPage;     // 133
extern const Template kSoilMethodPage;   // 134
extern const Template kAboutBox;         // 100

}  // namespace dlg
