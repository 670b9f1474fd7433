#include "views/window_placement.h"

#include <QWidget>
#include <algorithm>

QMargins FrameMarginsOf(const QWidget* w) {
  const QRect outer = w->frameGeometry();
  const QRect client = w->geometry();
  return QMargins(client.left() - outer.left(), client.top() - outer.top(),
                  outer.right() - client.right(), outer.bottom() - client.bottom());
}

QRect FitIntoArea(const QSize& wanted, const QRect& available, const QMargins& frame) {
  const QRect room = available.marginsRemoved(frame);
  const QSize size = wanted.boundedTo(room.size()).expandedTo(QSize(1, 1));
  QRect client(QPoint(0, 0), size);
  client.moveCenter(room.center());
  return client;
}

QRect KeepOnScreen(const QRect& wanted, const QRect& available) {
  if (!available.isValid()) return wanted;
  const QSize size = wanted.size().boundedTo(available.size());
  const int left =
      std::clamp(wanted.left(), available.left(), available.right() + 1 - size.width());
  const int top = std::clamp(wanted.top(), available.top(), available.bottom() + 1 - size.height());
  return QRect(QPoint(left, top), size);
}

QRect FramePlacement::ClientGeometry(const QRect& outer, const QMargins& frame) {
  const QRect client = outer.marginsRemoved(frame);
  return QRect(client.topLeft(), client.size().expandedTo(QSize(1, 1)));
}

QRect FramePlacement::Place(const QMargins& frameNow, const QRect& available) {
  m_outer = KeepOnScreen(m_wanted, available);
  m_bAwaitingFrame = frameNow.isNull();
  return ClientGeometry(m_outer, frameNow);
}

std::optional<QRect> FramePlacement::FrameKnown(const QMargins& frameNow) {
  if (!m_bAwaitingFrame || frameNow.isNull()) return std::nullopt;
  m_bAwaitingFrame = false;
  return ClientGeometry(m_outer, frameNow);
}
