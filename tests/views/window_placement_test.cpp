// The main window's place counts the window manager's frame, which on X11 arrives only after
// the window is first shown.
#include <gtest/gtest.h>

#include "views/window_placement.h"

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
