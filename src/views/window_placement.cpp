#include "views/window_placement.h"

#include <algorithm>

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
