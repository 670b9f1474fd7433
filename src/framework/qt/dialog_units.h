#pragma once
// Dialog units to pixels. A dialog template places its controls in units of a quarter of
// the dialog font's average character width and an eighth of its height; one helper turns
// them into pixels for the font the dialogs use here.
#include <QFont>
#include <QRect>

namespace framework {

class DialogUnits {
 public:
  // Base units from the font: the average width of the 52 Latin letters, rounded as the
  // Windows rule rounds it, and the font's line height.
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

  int X(int du) const;  // du × baseX / 4, rounded
  int Y(int du) const;  // du × baseY / 8, rounded
  QRect Rect(int x, int y, int w, int h) const {
    return QRect(X(x), Y(y), X(x + w) - X(x), Y(y + h) - Y(y));
  }
  QPoint Point(int x, int y) const { return QPoint(X(x), Y(y)); }
  int BaseX() const { return m_baseX; }
  int BaseY() const { return m_baseY; }

 private:
  int m_baseX;
  int m_baseY;
};

// The font of every dialog and form: a sans-serif face of 8 points standing for the 8-point
// "MS Sans Serif" the templates were laid out in. Liberation Sans (metric-compatible with
// Arial) is preferred so that the layout's proportions hold.
QFont DialogFont();

}  // namespace framework
