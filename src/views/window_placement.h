#pragma once
// Keeps a top-level window at a fixed rectangle of the screen with its frame included, as far
// as the screen's free area holds it. The
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

// Where a window that would like the outer rectangle `wanted` goes on a screen whose free
// area (the screen less its panels) is `available`: there when it fits; else no wider and no
// taller than the free area, moved into it. A screen of large type (a scale factor of 2 on a
// laptop's 1366 × 768) holds less than the window's usual size, and a window that runs off
// the screen hides its close button and its status bar. No free area known: as wanted.
QRect KeepOnScreen(const QRect& wanted, const QRect& available);

class FramePlacement {
 public:
  // `wanted`: the outer rectangle the window is placed on, as far as the screen holds it.
  explicit FramePlacement(const QRect& wanted) : m_wanted(wanted), m_outer(wanted) {}

  // The client rectangle (the window without its frame) that puts the whole window on the
  // outer rectangle, for a frame of `frame` around the client. Never narrower than 1 × 1.
  static QRect ClientGeometry(const QRect& outer, const QMargins& frame);

  // A placement asked for now, with the frame as it is known now, on a screen whose free area
  // is `available`: the client rectangle to apply. Until a frame has been counted, a frame
  // that appears later places the window again.
  QRect Place(const QMargins& frameNow, const QRect& available = QRect());
  // The window's frame as it is known now, whenever it may have changed: the client
  // rectangle to apply when a frame has appeared since the last placement counted none.
  // A window that already stands with its frame is left where the user puts it.
  std::optional<QRect> FrameKnown(const QMargins& frameNow);
  // The user took the window elsewhere (maximised it, for one): no later frame moves it back.
  void Release() { m_bAwaitingFrame = false; }

 private:
  QRect m_wanted;
  QRect m_outer;  // where the last placement put the window
  bool m_bAwaitingFrame = false;
};
