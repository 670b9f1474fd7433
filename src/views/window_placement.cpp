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

QRect FramePlacement::ClientGeometry(const QRect& outer, const QMargins& frame) {
  const QRect client = outer.marginsRemoved(frame);
  return QRect(client.topLeft(), client.size().expandedTo(QSize(1, 1)));
}

QRect FramePlacement::Place(const QMargins& frameNow) {
  m_bAwaitingFrame = frameNow.isNull();
  return ClientGeometry(m_outer, frameNow);
}

std::optional<QRect> FramePlacement::FrameKnown(const QMargins& frameNow) {
  if (!m_bAwaitingFrame || frameNow.isNull()) return std::nullopt;
  m_bAwaitingFrame = false;
  return ClientGeometry(m_outer, frameNow);
}
