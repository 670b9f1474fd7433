#pragma once
// Densora's emblem: a compaction rammer standing in a mold of three compacted soil layers,
// densest at the bottom, inside a ring. A 600 × 600 one-bit picture, printed unscaled at
// the top left of the report.
#include "framework/drawing_surface.h"

namespace print {

inline constexpr int kEmblemSize = 600;

// Built once, on first use.
const framework::MonoBitmap& Emblem();

}  // namespace print
