#pragma once
// The form controls whose behaviour differs from Qt's own, and the rule that keeps the
// templates' texts readable where the dialog font runs wider than the templates allowed for.
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <vector>

namespace dlg {

// A one-line field that the keyboard focus enters with its whole text selected, however it
// comes (Tab, a tab change, a page shown, the window active again after a message box), so
// that what the user types replaces the value instead of running into it. A click places
// the caret where the user pointed, as in any text field, and a context menu that closes
// leaves the selection the user made.
class FieldEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
};

// A button of a radio group. The keyboard focus enters the group at its checked button, so
// that Space on arrival keeps the choice the group shows; a click goes where it is aimed.
class GroupRadio : public QRadioButton {
  Q_OBJECT
 public:
  using QRadioButton::QRadioButton;

 protected:
  void focusInEvent(QFocusEvent* e) override;
};

// The date picker is one stop in the tab order, as the form's other fields are: Tab and
// Shift+Tab leave it whole. Inside it, Left and Right move between month, day and year, and
// Up and Down change the part that is selected.
class DatePicker : public QDateEdit {
  Q_OBJECT
 public:
  using QDateEdit::QDateEdit;

 protected:
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* e) override;
};

// A drop-down list that keeps its template width: closed, an item too long for it shows its
// beginning and "…", with the whole text as the tooltip; opened, the list is as wide as its
// longest item needs.
class DropList : public QComboBox {
  Q_OBJECT
 public:
  explicit DropList(QWidget* parent);
  void showPopup() override;
  // The text the closed list shows for its current item.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void UpdateTip();
};

// The tab control of the form. Where the titles would not otherwise fit side by side, its
// tabs give up some of the room beside their titles, all alike, so that every tab shows with
// its whole title and none hides behind scroll arrows.
class FormTabs : public QTabWidget {
  Q_OBJECT
 public:
  explicit FormTabs(QWidget* parent);
};

class FittingTabBar : public QTabBar {
  Q_OBJECT
 public:
  explicit FittingTabBar(QWidget* parent);

 protected:
  QSize tabSizeHint(int index) const override;

 private:
  class MarginStyle;
  MarginStyle* m_pStyle;  // the application's style with the tabs' margins narrowed
};

// A read-only field too narrow for its text shows the whole text as its tooltip.
void ShowWholeTextAsTip(QLineEdit* edit);

// A label or radio button whose text would run into the control to its right, or come
// closer to it than `gap` pixels, ends where that control begins (less the gap) and sets
// its text a little tighter, at most half a pixel a character; what still does not fit is
// cut at its end.
void KeepTextsClear(const std::vector<QWidget*>& controls, int gap);

}  // namespace dlg
