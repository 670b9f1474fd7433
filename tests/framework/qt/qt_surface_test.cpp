// The QPainter drawing surface, painting into images and checked pixel by pixel: the
// device's resolution, the Windows rules for rectangles, text boxes and rotated text, pen
// styles, the font behind "Arial", Windows-1252 texts and the one-bit emblem copy.
#include "framework/qt/qt_surface.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>

namespace {

using framework::BkMode;
using framework::Brush;
using framework::Color;
using framework::Font;
using framework::Pen;
using framework::PenStyle;
using framework::QtPainterSurface;

QImage Paint(int w, int h, const std::function<void(QtPainterSurface&)>& draw,
             QColor background = Qt::white) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(background);
  QPainter painter(&image);
  QtPainterSurface surface(painter);
  draw(surface);
  return image;
}

bool IsWhite(QRgb c) { return qRed(c) > 250 && qGreen(c) > 250 && qBlue(c) > 250; }
bool IsInk(QRgb c) { return qGray(c) < 160; }

// The smallest rectangle holding every pixel that is not the background.
QRect InkBox(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST(QtPainterSurface, TakesTheResolutionOfItsDevice) {
  QImage image(10, 10, QImage::Format_RGB32);
  image.setDotsPerMeterX(11811);  // 300 dpi
  image.setDotsPerMeterY(23622);  // 600 dpi
  QPainter painter(&image);
  QtPainterSurface surface(painter);
  EXPECT_EQ(surface.DpiX(), 300);
  EXPECT_EQ(surface.DpiY(), 600);
  EXPECT_EQ(framework::PointFont(surface, 100).height, -83);
}

TEST(QtPainterSurface, FillRectExcludesTheRightAndBottomEdges) {
  const QImage image = Paint(20, 20, [](QtPainterSurface& s) {
    s.FillRect(2, 3, 7, 9, Brush{false, {200, 0, 0}});
    s.FillRect(10, 10, 15, 15, Brush{true, {0, 0, 0}});  // a hollow brush fills nothing
  });
  EXPECT_EQ(image.pixel(2, 3), qRgb(200, 0, 0));
  EXPECT_EQ(image.pixel(6, 8), qRgb(200, 0, 0));
  EXPECT_EQ(image.pixel(7, 5), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(4, 9), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(1, 5), qRgb(255, 255, 255));
  EXPECT_EQ(InkBox(image), QRect(2, 3, 5, 6));
}

TEST(QtPainterSurface, RectangleIsOutlinedInsideItsBoxAndFilledWithTheBrush) {
  const QImage image = Paint(40, 40, [](QtPainterSurface& s) {
    s.SelectPen(Pen{PenStyle::Solid, 1, {255, 0, 0}});
    s.SelectBrush(Brush{false, {0, 0, 255}});
    s.Rectangle(10, 10, 30, 30);
  });
  EXPECT_EQ(image.pixel(20, 20), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(10, 20), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(29, 20), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(20, 29), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(30, 20), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(20, 30), qRgb(255, 255, 255));
}

TEST(QtPainterSurface, LinesRunFromTheCurrentPositionInThePenStyle) {
  auto row = [](PenStyle style) {
    const QImage image = Paint(220, 10, [style](QtPainterSurface& s) {
      s.SelectPen(Pen{style, 1, {0, 0, 0}});
      s.MoveTo(10, 5);
      s.LineTo(210, 5);
    });
    int ink = 0, gaps = 0;
    for (int x = 12; x < 208; ++x) (IsInk(image.pixel(x, 5)) ? ink : gaps)++;
    EXPECT_FALSE(IsInk(image.pixel(5, 5)));
    EXPECT_FALSE(IsInk(image.pixel(10, 4)));
    EXPECT_FALSE(IsInk(image.pixel(10, 6)));
    return std::pair<int, int>(ink, gaps);
  };
  const auto solid = row(PenStyle::Solid);
  EXPECT_EQ(solid.second, 0);
  const auto dashed = row(PenStyle::Dash);
  EXPECT_GT(dashed.second, 20);
  EXPECT_GT(dashed.first, dashed.second * 2);  // long dashes, short gaps
  const auto dotted = row(PenStyle::Dot);
  EXPECT_GT(dotted.second, 60);
  EXPECT_GT(dotted.first, 60);
}

TEST(QtPainterSurface, ArialIsLiberationSansSizedByItsCharacterHeight) {
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  QtPainterSurface surface(painter);
  const QFontInfo bold(surface.ToQFont(Font{"Arial", -83, 700, 0}));
  EXPECT_EQ(bold.family(), "Liberation Sans");
  EXPECT_EQ(bold.pixelSize(), 83);
  EXPECT_TRUE(bold.bold());
  const QFontInfo regular(surface.ToQFont(Font{"Arial", -13, 400, 0}));
  EXPECT_EQ(regular.pixelSize(), 13);
  EXPECT_FALSE(regular.bold());
}

TEST(QtPainterSurface, TextTopLeftIsAtThePointAndOpaqueTextBlanksItsBox) {
  auto draw = [](BkMode mode) {
    return Paint(
        200, 60,
        [mode](QtPainterSurface& s) {
          s.SelectFont(Font{"Arial", -20, 400, 0});
          s.SetBkMode(mode);
          s.TextOut(30, 15, "Hg");
        },
        Qt::black);
  };
  const QImage opaque = draw(BkMode::Opaque);
  // The white box starts exactly at the given corner and is about a line high.
  EXPECT_TRUE(IsWhite(opaque.pixel(30, 15)));
  EXPECT_FALSE(IsWhite(opaque.pixel(29, 15)));
  EXPECT_FALSE(IsWhite(opaque.pixel(30, 14)));
  const QRect box = InkBox(opaque, qRgb(0, 0, 0));
  EXPECT_EQ(box.topLeft(), QPoint(30, 15));
  EXPECT_GE(box.height(), 20);
  EXPECT_LE(box.height(), 26);

  const QImage transparent = draw(BkMode::Transparent);
  EXPECT_EQ(InkBox(transparent, qRgb(0, 0, 0)), QRect());  // black text on black

  // The glyphs themselves hang below the corner, within the line.
  const QImage text = Paint(200, 60, [](QtPainterSurface& s) {
    s.SelectFont(Font{"Arial", -20, 400, 0});
    s.SetBkMode(BkMode::Transparent);
    s.TextOut(30, 15, "Hg");
  });
  const QRect ink = InkBox(text);
  EXPECT_GE(ink.left(), 30);
  EXPECT_LE(ink.left(), 33);
  EXPECT_GE(ink.top(), 15);
  EXPECT_LE(ink.bottom(), 15 + 24);
}

// What the painters measure to thin labels and clip texts is what TextOut paints, in the
// font selected at the time.
TEST(QtPainterSurface, TextExtentIsTheRoomTextOutTakes) {
  for (int height : {-10, -20, -66}) {
    for (const char* text : {"10.0", "1580.0", "MAIN ST"}) {
      framework::TextSize extent;
      const QImage opaque = Paint(
          700, 120,
          [&](QtPainterSurface& s) {
            s.SelectFont(Font{"Arial", height, 400, 0});
            extent = s.TextExtent(text);
            s.TextOut(5, 5, text);
          },
          Qt::black);
      const QImage ink = Paint(700, 120, [&](QtPainterSurface& s) {
        s.SelectFont(Font{"Arial", height, 400, 0});
        s.SetBkMode(BkMode::Transparent);
        s.TextOut(5, 5, text);
      });
      const QRect box = InkBox(opaque, qRgb(0, 0, 0));
      EXPECT_EQ(box.width(), extent.cx) << text << " at " << height;
      EXPECT_EQ(box.height(), extent.cy) << text << " at " << height;
      const QRect glyphs = InkBox(ink);
      EXPECT_LE(glyphs.right(), 5 + extent.cx) << text << " at " << height;
      EXPECT_NEAR(glyphs.height(), extent.inkHeight, 1) << text << " at " << height;
    }
  }
}

TEST(QtPainterSurface, TextTurnedBy90DegreesReadsBottomToTop) {
  const QImage image = Paint(100, 300, [](QtPainterSurface& s) {
    s.SelectFont(Font{"Arial", -20, 400, 900});
    s.SetBkMode(BkMode::Transparent);
    s.TextOut(40, 250, "..........MMMMMMMMMM");
  });
  const QRect ink = InkBox(image);
  // Upward from the point, the line's top towards the left: it spans x 40 … 40 + a line.
  EXPECT_GE(ink.left(), 40);
  EXPECT_LE(ink.right(), 40 + 24);
  EXPECT_LE(ink.bottom(), 250);
  EXPECT_GT(ink.height(), 3 * ink.width());
  // The text begins at the bottom: the sparse dots lie below the heavy capitals.
  int lower = 0, upper = 0;
  const int quarter = ink.height() / 4;
  for (int y = ink.top(); y <= ink.bottom(); ++y) {
    for (int x = ink.left(); x <= ink.right(); ++x) {
      if (!IsInk(image.pixel(x, y))) continue;
      if (y > ink.bottom() - quarter) ++lower;
      if (y < ink.top() + quarter) ++upper;
    }
  }
  EXPECT_GT(upper, 3 * lower);
}

TEST(QtPainterSurface, TextIsReadAsWindows1252) {
  const Font font{"Arial", -30, 400, 0};
  const QImage viaSurface = Paint(120, 50, [&](QtPainterSurface& s) {
    s.SelectFont(font);
    s.SetBkMode(BkMode::Transparent);
    s.TextOut(5, 5, "m\xB3 \xE9\x80");  // m³ é €
  });
  QImage direct(120, 50, QImage::Format_RGB32);
  direct.fill(Qt::white);
  {
    QPainter painter(&direct);
    QtPainterSurface surface(painter);  // the same render settings
    painter.setFont(surface.ToQFont(font));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(5, 5 + QFontMetrics(painter.font(), &direct).ascent()),
                     QString::fromUtf8("m\u00B3 \u00E9\u20AC"));
  }
  EXPECT_FALSE(InkBox(viaSurface).isEmpty());
  EXPECT_EQ(viaSurface, direct);
}

TEST(QtPainterSurface, CentredTextSitsInTheMiddleOfTheRectangle) {
  const QImage image = Paint(300, 100, [](QtPainterSurface& s) {
    s.SelectFont(Font{"Arial", -16, 400, 0});
    s.SetBkMode(BkMode::Transparent);
    s.DrawTextCentered("Insufficient Data", 0, 0, 300, 100);
  });
  const QRect ink = InkBox(image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.center().x(), 150, 3);
  EXPECT_NEAR(ink.center().y(), 50, 5);
}

TEST(QtPainterSurface, BitmapIsCopiedPixelForPixel) {
  framework::MonoBitmap bmp;
  bmp.width = 10;
  bmp.height = 2;
  bmp.bits = {0b10100000, 0b01000000, 0b00000000, 0b11000000};
  const QImage image = Paint(30, 10, [&](QtPainterSurface& s) { s.DrawBitmap(7, 4, bmp); });
  EXPECT_EQ(image.pixel(7, 4), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(8, 4), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(9, 4), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(16, 4), qRgb(0, 0, 0));  // bit 9, in the second byte
  EXPECT_EQ(image.pixel(15, 4), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(7, 5), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(15, 5), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(16, 5), qRgb(0, 0, 0));
  EXPECT_EQ(InkBox(image), QRect(7, 4, 10, 2));
}

}  // namespace
