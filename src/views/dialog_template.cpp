#include "views/dialog_template.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "framework/qt/dialog_units.h"
#include "framework/qt/qt_text.h"
#include "views/form_controls.h"

namespace dlg {
namespace {

// Lists and the date picker take the mouse wheel only while they have the keyboard focus:
// rolling the wheel over them on the way down the form scrolls the form and never changes a
// test's County, Test Type (which decides its folder and file name) or date.
class WheelWhenFocused : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->hasFocus()) return false;
    event->ignore();  // passed on to what holds the control
    return true;
  }
};

void TakeWheelOnlyWhenFocused(QWidget* w) { w->installEventFilter(new WheelWhenFocused(w)); }

QWidget* MakeLabel(const Control& c, const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  Qt::Alignment a = (c.style & kCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
  l->setAlignment(a | Qt::AlignTop);
  l->setWordWrap((c.style & kWrap) != 0);
  return l;
}

QWidget* MakeEdit(const Control& c, QWidget* parent) {
  auto* e = new FieldEdit(parent);
  e->setAlignment(((c.style & kRight) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  e->setReadOnly((c.style & kReadOnly) != 0);
  e->setValidator(new framework::Cp1252Validator((c.style & kUpper) != 0, e));
  if (c.style & kReadOnly) ShowWholeTextAsTip(e);
  return e;
}

QWidget* MakeTextBox(const Control& c, QWidget* parent) {
  auto* t = new QPlainTextEdit(parent);
  t->setReadOnly((c.style & kReadOnly) != 0);
  t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Tab goes on to the next field, as it does from every other control of the form.
  t->setTabChangesFocus(true);
  return t;
}

QWidget* MakeDropList(QWidget* parent) {
  auto* b = new DropList(parent);
  b->setEditable(false);
  b->setMaxVisibleItems(10);
  TakeWheelOnlyWhenFocused(b);
  return b;
}

QWidget* MakeDatePicker(QWidget* parent) {
  auto* d = new DatePicker(parent);
  d->setCalendarPopup(true);
  d->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
  d->setMinimumDate(QDate(100, 1, 1));
  d->setMaximumDate(QDate(9999, 12, 31));
  d->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  TakeWheelOnlyWhenFocused(d);
  return d;
}

QWidget* MakeButton(const Control& c, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setAutoDefault(false);
  b->setDefault((c.style & kDefault) != 0);
  return b;
}

QWidget* MakeTree(QWidget* parent) {
  auto* t = new QTreeWidget(parent);
  t->setHeaderHidden(true);
  t->setRootIsDecorated(true);
  return t;
}

QWidget* Make(const Control& c, QWidget* parent) {
  const QString text = QString::fromUtf8(c.text ? c.text : "");
  switch (c.kind) {
    case Kind::Label:
      return MakeLabel(c, text, parent);
    case Kind::Edit:
      return MakeEdit(c, parent);
    case Kind::TextBox:
      return MakeTextBox(c, parent);
    case Kind::DropList:
      return MakeDropList(parent);
    case Kind::DatePicker:
      return MakeDatePicker(parent);
    case Kind::Button:
      return MakeButton(c, text, parent);
    case Kind::Radio:
      return new GroupRadio(text, parent);
    case Kind::Frame:
      return new QFrame(parent);
    case Kind::Tree:
      return MakeTree(parent);
    case Kind::Tabs:
      return new QTabWidget(parent);
  }
  return nullptr;
}

}  // namespace

std::map<int, QWidget*> Build(QWidget* parent, const Template& tpl,
                              const framework::DialogUnits& du) {
  std::map<int, QWidget*> byId;
  std::vector<QWidget*> all;
  QWidget* lastTabStop = nullptr;
  for (const Control& c : tpl.controls) {
    QWidget* w = Make(c, parent);
    all.push_back(w);
    QRect r = du.Rect(c.x, c.y, c.w, c.h);
    if (c.kind == Kind::Label && c.w == 0) {
      r.setSize(w->sizeHint().expandedTo(QSize(1, du.Y(8))));
    }
    if (c.kind == Kind::DropList) r.setHeight(du.Y(14));  // the closed list; it opens below
    w->setGeometry(r);
    w->setProperty("controlId", c.id);
    if (c.id != kNoId) {
      w->setObjectName(QStringLiteral("ctl%1").arg(c.id));
      byId[c.id] = w;
    }
    const bool focusable = c.kind != Kind::Label && c.kind != Kind::Frame;
    if (focusable) {
      if (c.style & kNoTabStop) {
        w->setFocusPolicy(Qt::ClickFocus);
      } else {
        w->setFocusPolicy(Qt::StrongFocus);
        if (lastTabStop) QWidget::setTabOrder(lastTabStop, w);
        lastTabStop = w;
      }
    }
  }
  // The dialog font runs a little wider than the one the templates were laid out in.
  KeepTextsClear(all, du.X(3));
  return byId;
}

QWidget* FindControl(const QWidget* parent, int id) {
  return parent->findChild<QWidget*>(QStringLiteral("ctl%1").arg(id), Qt::FindDirectChildrenOnly);
}

}  // namespace dlg
