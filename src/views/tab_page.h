#pragma once
// The common base of the five tab pages: the page built from its template and placed on
// the tab control, the refresh from the record, and the field exchange between the page's
// controls and the record.
#include <QLineEdit>
#include <QRect>
#include <QString>
#include <QWidget>
#include <map>
#include <optional>
#include <string>

#include "framework/prompt.h"
#include "views/dialog_template.h"

class CDensoraDoc;
class CDensoraView;
class CTabPage;

// One pass of the field exchange. Writing (save false) puts record values into controls;
// reading (save true) takes controls into the record in the page's exchange order and
// stops at the first number field that does not hold a number: that field gets the
// message "Please enter a number.", the focus and a whole selection, and the fields after
// it keep their record values.
class DataExchange {
 public:
  DataExchange(CTabPage& page, bool saveAndValidate) : m_page(page), m_bSave(saveAndValidate) {}

  // A text field: an edit's text unchanged, or a drop-down list's selected item (the empty
  // text when none is selected; writing to a list has no effect).
  void Text(int id, std::string& field);
  // A number field: written as FormatNumber, read with ParseNumber.
  void Number(int id, double& field);
  // An optional number field, where 0 means "not entered": as a number field, but 0 is
  // written as the empty text and the empty text reads as 0.
  void OptionalNumber(int id, double& field);
  // An optional number field where 0 is a value: the empty text both ways is "not entered".
  void OptionalNumber(int id, std::optional<double>& field);

  // True when the exchange reads the controls into the record.
  bool IsSaving() const { return m_bSave; }
  bool Failed() const { return m_bFailed; }

 private:
  CTabPage& m_page;
  bool m_bSave;
  bool m_bFailed = false;

  void NumberField(int id, double& field, bool optional);
};

class CTabPage : public QWidget {
  Q_OBJECT
 public:
  // `tabRect` is the tab control's rectangle in the parent's coordinates.
  CTabPage(const QRect& tabRect, const dlg::Template& tpl, QWidget* parent);
  ~CTabPage() override;

  // Builds the page's controls from its template and runs OnInitDialog.
  void Create();
  // Places the page on the tab control's display area, keeping its own size, and shows it.
  virtual bool OnInitDialog();
  // Puts the page on the tab control's display area, below the tabs.
  void Place();
  // Reloads the page's controls from the record.
  virtual void RefreshPage() {}
  // The page's exchange order.
  virtual void DoDataExchange(DataExchange& dx) { (void)dx; }
  // Runs the exchange; false when a field failed.
  bool UpdateData(bool saveAndValidate = true);

  static bool IsNumericText(const std::string& text);

  QString m_strTitle;

  QWidget* Control(int id) const;
  template <class T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(Control(id));
  }
  // The document of the view the page sits on (nullptr before the page is placed on one).
  CDensoraDoc* GetActiveDocument() const;
  int TemplateId() const { return m_tpl.id; }

  // Shows `text`, then puts the focus back into control `id` and selects its whole text.
  void WarnAtField(int id, const std::string& text,
                   framework::MsgIcon icon = framework::MsgIcon::None);
  // Gives the keyboard focus to the page's first tab stop, as a dialog takes the focus.
  void FocusFirstControl();
  // Puts the focus into control `id` (as the program, not the user, moves it) and selects
  // its whole text, so that what the user types next replaces the text.
  void FocusAndSelect(int id);

 protected:
  // True for focus moves the user makes (Tab, Shift+Tab, the mouse, a shortcut): the page's
  // focus rules answer those, not the focus the program moves or the window losing focus to
  // a message box.
  static bool IsUserFocusReason(Qt::FocusReason reason);

  QRect m_rcTab;
  const dlg::Template& m_tpl;
  std::map<int, QWidget*> m_controls;
};
