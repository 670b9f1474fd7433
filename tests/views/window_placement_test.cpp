// The main window's place counts the window manager's frame, which on X11 arrives only after
// the window is first shown.
#include "views/window_placement.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(FramePlacement, AFrameThatArrivesAfterTheFirstShowPlacesTheWindowOnceMore) {
  const QMargins none;
  const QMargins frame(1, 20, 1, 5);
  FramePlacement p(QRect(0, 0, 690, 532));

  // Shown before the window manager framed it: the client takes the whole rectangle ...
  EXPECT_EQ(p.Place(none), QRect(0, 0, 690, 532));
  EXPECT_EQ(p.FrameKnown(none), std::nullopt);
  // ... until the frame is there: then the frame and the client together fill it.
  EXPECT_EQ(p.FrameKnown(frame), QRect(1, 20, 688, 507));
  // Once placed with its frame, the window is the user's to move and size.
  EXPECT_EQ(p.FrameKnown(frame), std::nullopt);
  EXPECT_EQ(p.FrameKnown(QMargins(4, 30, 4, 4)), std::nullopt);

  // A later placement (a file opened) counts the frame it finds at once.
  EXPECT_EQ(p.Place(frame), QRect(1, 20, 688, 507));
  EXPECT_EQ(p.FrameKnown(QMargins(4, 30, 4, 4)), std::nullopt);

  // A window the user maximised before its frame came is left as it is.
  EXPECT_EQ(p.Place(none), QRect(0, 0, 690, 532));
  p.Release();
  EXPECT_EQ(p.FrameKnown(frame), std::nullopt);
}

// The window stands at the top-left corner at its size when the screen's free area holds it;
// on a smaller one (large type on a laptop) it takes that area, frame, close button, status
// bar and all, and no more.
TEST(FramePlacement, TheWindowKeepsToTheScreensFreeArea) {
  const QRect wanted(0, 0, 690, 532);
  const struct {
    const char* screen;
    QRect available;
    QRect outer;
  } cases[] = {
      {"1920 x 1080", QRect(0, 0, 1920, 1080), wanted},
      {"1366 x 768 at scale 2", QRect(0, 0, 683, 384), QRect(0, 0, 683, 384)},
      {"a panel at the top", QRect(0, 27, 1024, 741), QRect(0, 27, 690, 532)},
      {"a panel on the left, 800 x 480", QRect(48, 0, 752, 480), QRect(48, 0, 690, 480)},
      {"a second screen on the right", QRect(1920, 0, 1280, 1024), QRect(1920, 0, 690, 532)},
      {"no screen known", QRect(), wanted},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeepOnScreen(wanted, c.available), c.outer) << c.screen;
  }
  // Framed, the client rectangle leaves the frame room inside the free area.
  FramePlacement p(wanted);
  const QMargins frame(1, 20, 1, 5);
  EXPECT_EQ(p.Place(frame, QRect(0, 0, 683, 384)), QRect(1, 20, 681, 359));
  // Framed only after the first show, the window is placed again inside the same area.
  EXPECT_EQ(p.Place(QMargins(), QRect(0, 0, 683, 384)), QRect(0, 0, 683, 384));
  EXPECT_EQ(p.FrameKnown(frame), QRect(1, 20, 681, 359));
}

// The print preview would like a page's shape; it never grows taller or wider than the
// screen's free area, its frame included.
TEST(FramePlacement, APreviewFitsTheScreensFreeAreaWithItsFrame) {
  const QMargins frame(1, 20, 1, 5);
  // A large screen: the size wanted, centred.
  const QRect big = FitIntoArea(QSize(900, 1000), QRect(0, 0, 1920, 1200), frame);
  EXPECT_EQ(big.size(), QSize(900, 1000));
  const QRect outer = big.marginsAdded(frame);
  EXPECT_LE(std::abs(outer.left() - (1919 - outer.right())), 1);
  EXPECT_LE(std::abs(outer.top() - (1199 - outer.bottom())), 1);
  // 1024 × 768 less a panel at the top: as tall as the rest holds.
  const QRect area(0, 24, 1024, 744);
  const QRect fitted = FitIntoArea(QSize(900, 1000), area, frame);
  EXPECT_EQ(fitted.size(), QSize(900, 744 - 25));
  EXPECT_TRUE(area.contains(fitted.marginsAdded(frame)));
}
