#include "views/form_controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <algorithm>
#include <climits>

namespace dlg {

namespace {

// The focus the user gives by pointing, and the focus a popup (a context menu) hands back
// to where it was: both leave the caret and the selection alone.
bool IsPointedFocus(Qt::FocusReason reason) {
  return reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason;
}

}  // namespace

void FieldEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (!IsPointedFocus(e->reason())) selectAll();
}

void FieldEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  // A warning shown as the focus leaves sends it straight back here: the field is entered
  // again, not left, and keeps its whole text selected.
  if (hasFocus()) selectAll();
}

void GroupRadio::focusInEvent(QFocusEvent* e) {
  QRadioButton::focusInEvent(e);
  // A shortcut checks the button it names, so the focus stays there too.
  if (isChecked() || !autoExclusive() || IsPointedFocus(e->reason()) ||
      e->reason() == Qt::ShortcutFocusReason || !parentWidget()) {
    return;
  }
  for (auto* other : parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
    if (other != this && other->autoExclusive() && other->isChecked() && other->isEnabled()) {
      other->setFocus(e->reason());
      return;
    }
  }
}

bool DatePicker::focusNextPrevChild(bool next) { return QWidget::focusNextPrevChild(next); }

void DatePicker::keyPressEvent(QKeyEvent* e) {
  const bool left = e->key() == Qt::Key_Left, right = e->key() == Qt::Key_Right;
  if ((left || right) && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    const int to = currentSectionIndex() + (right ? 1 : -1);
    if (to >= 0 && to < sectionCount()) {
      setCurrentSectionIndex(to);
      setSelectedSection(currentSection());
    }
    e->accept();
    return;
  }
  QDateEdit::keyPressEvent(e);
}

DropList::DropList(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] { UpdateTip(); });
}

QString DropList::ShownText() const {
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
  return fontMetrics().elidedText(currentText(), Qt::ElideRight, field.width());
}

void DropList::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  painter.drawComplexControl(QStyle::CC_ComboBox, opt);
  opt.currentText = ShownText();
  painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void DropList::resizeEvent(QResizeEvent* e) {
  QComboBox::resizeEvent(e);
  UpdateTip();
}

void DropList::UpdateTip() {
  const QString shown = ShownText();
  setToolTip(shown == currentText() ? QString() : currentText());
}

void DropList::showPopup() {
  QAbstractItemView* list = view();
  int widest = 0;
  for (int i = 0; i < count(); ++i) {
    widest = std::max(widest, list->fontMetrics().horizontalAdvance(itemText(i)));
  }
  // The items' own margins, and the scroll bar of a list longer than it shows at once.
  int extra = 4 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) +
              2 * list->frameWidth() + 8;
  if (count() > maxVisibleItems()) extra += list->verticalScrollBar()->sizeHint().width();
  list->setMinimumWidth(std::max(width(), widest + extra));
  QComboBox::showPopup();
}

FormTabs::FormTabs(QWidget* parent) : QTabWidget(parent) { setTabBar(new FittingTabBar(this)); }

// The room a tab leaves beside its title, less what it gives up to fit.
class FittingTabBar::MarginStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    return metric == PM_TabBarTabHSpace ? std::max(0, value - m_nGivenUp) : value;
  }
  int m_nGivenUp = 0;
};

FittingTabBar::FittingTabBar(QWidget* parent)
    : QTabBar(parent),
      m_pStyle(new MarginStyle(QStyleFactory::create(QApplication::style()->name()))) {
  m_pStyle->setParent(this);
  setStyle(m_pStyle);
}

QSize FittingTabBar::tabSizeHint(int index) const {
  m_pStyle->m_nGivenUp = 0;
  const QWidget* holder = parentWidget();
  if (!holder || count() == 0) return QTabBar::tabSizeHint(index);
  int total = 0;
  for (int i = 0; i < count(); ++i) total += QTabBar::tabSizeHint(i).width();
  // The tab control's frame takes a little of its width at either side.
  const int over = total - (holder->width() - 4);
  if (over > 0) {
    // Each tab keeps at least an average character's width of room beside its title.
    const int room = m_pStyle->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this);
    const int most = std::max(0, room - fontMetrics().averageCharWidth());
    m_pStyle->m_nGivenUp = std::min(most, (over + count() - 1) / count());
  }
  return QTabBar::tabSizeHint(index);
}

namespace {

bool TextFits(const QLineEdit* edit) {
  QStyleOptionFrame opt;
  opt.initFrom(edit);
  opt.rect = edit->rect();
  opt.lineWidth =
      edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
  const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
  const QMargins margins = edit->textMargins();
  // A line edit keeps two pixels clear at each side of its text.
  const int room = contents.width() - margins.left() - margins.right() - 4;
  return edit->fontMetrics().horizontalAdvance(edit->text()) <= room;
}

// Where the text of a label or radio button begins inside it.
int TextStart(const QWidget* w) {
  if (const auto* radio = qobject_cast<const QRadioButton*>(w)) {
    QStyleOptionButton opt;
    opt.initFrom(radio);
    opt.text = radio->text();
    opt.rect = radio->rect();
    return radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, radio).left();
  }
  return 0;
}

// The text that has to stay clear of the next control; a trailing blank counts as space.
QString TextOf(const QWidget* w) {
  QString text;
  if (const auto* l = qobject_cast<const QLabel*>(w)) {
    if (!l->wordWrap()) text = l->text();
  } else if (const auto* r = qobject_cast<const QRadioButton*>(w)) {
    text = r->text();
  }
  while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
  return text;
}

// The left edge of the nearest control that lies to the right of `w` on its row.
int NextLeft(const QWidget* w, const std::vector<QWidget*>& controls) {
  int next = INT_MAX;
  const QRect r = w->geometry();
  for (const QWidget* o : controls) {
    const QRect g = o->geometry();
    const bool sameRow = g.top() <= r.bottom() && g.bottom() >= r.top();
    if (o != w && sameRow && g.left() > r.left()) next = std::min(next, g.left());
  }
  return next;
}

}  // namespace

void ShowWholeTextAsTip(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
    edit->setToolTip(TextFits(edit) ? QString() : text);
  });
}

void KeepTextsClear(const std::vector<QWidget*>& controls, int gap) {
  for (QWidget* w : controls) {
    const QString text = TextOf(w);
    const int next = NextLeft(w, controls);
    if (text.isEmpty() || next == INT_MAX) continue;
    const int room = next - w->x();
    if (w->width() > room) w->resize(room, w->height());
    const int over = TextStart(w) + w->fontMetrics().horizontalAdvance(text) + gap - room;
    if (over <= 0) continue;
    QFont tighter = w->font();
    const double perChar = std::min(0.5, static_cast<double>(over) / text.size());
    tighter.setLetterSpacing(QFont::AbsoluteSpacing, -perChar);
    w->setFont(tighter);
  }
}

}  // namespace dlg
