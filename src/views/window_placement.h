#pragma once
// Keeps a top-level window at a fixed rectangle of the screen with its frame included. The
// frame is the window manager's: on X11 it is drawn only some time after the window is
// first shown, so a size set at the first show counts a frame of nothing. The placement is
// therefore made again, once, when the real frame becomes known.
#include <QMargins>
#include <QRect>
#include <optional>

class QWidget;

// What the window manager's frame adds around a top-level window's client area on each
// side, as far as it is known (nothing before the window manager has framed the window).
QMargins FrameMarginsOf(const QWidget* window);

// The client rectangle for a window that would like a client area of `wanted` on a screen
// whose free area is `available`, framed like `frame`: as large as wanted but no larger than
// the free area holds with the frame, and centred in it.
QRect FitIntoArea(const QSize& wanted, const QRect& available, const QMargins& frame);

class FramePlacement {
 public:
  explicit FramePlacement(const QRect& outer) : m_outer(outer) {}

  // The client rectangle (the window without its frame) that puts the whole window on the
  // outer rectangle, for a frame of `frame` around the client. Never narrower than 1 × 1.
  static QRect ClientGeometry(const QRect& outer, const QMargins& frame);

  // A placement asked for now, with the frame as it is known now: the client rectangle to
  // apply. Until a frame has been counted, a frame that appears later places the window again.
  QRect Place(const QMargins& frameNow);
  // The window's frame as it is known now, whenever it may have changed: the client
  // rectangle to apply when a frame has appeared since the last placement counted none.
  // A window that already stands with its frame is left where the user puts it.
  std::optional<QRect> FrameKnown(const QMargins& frameNow);
  // The user took the window elsewhere (maximised it, for one): no later frame moves it back.
  void Release() { m_bAwaitingFrame = false; }

 private:
  QRect m_outer;
  bool m_bAwaitingFrame = false;
};
