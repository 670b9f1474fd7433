#pragma once
// The one-page "MOISTURE DENSITY DETERMINATION" report: the emblem and headings, the
// project block, the mold, the table of the six test points, the long-test comparison and
// the moisture-density chart. Printing, print preview and densora-cli all draw the page
// through these functions.
#include "framework/drawing_surface.h"

class CDensoraDoc;
class CDensityChart;

namespace print {

// Draws the report on `dc`, whose drawable page is `pageWidth` × `pageHeight` device units
// from the origin. Positions are fractions of the page; the emblem (600 × 600), the project
// block's offset (325) and the pen width (10) are device units. The long-test ratings use
// the record's fit results as they stand; then the present points are counted into the
// record and the curve of `chart` (which must work on `doc`) is refitted. The laboratory's lines
// (specific gravity, oversize correction, points left out of the fit, the document's
// relative-compaction windows, warnings) follow the long test only when there are any, taking
// their results from that fit, and the chart below them gives up the rows they take; a
// record without them prints as it always did. Nothing else in the record changes. The
// surface's pen and font are put back at the end; asking the screen to repaint is left to
// the caller.
void DrawReport(framework::DrawingSurface& dc, int pageWidth, int pageHeight, CDensoraDoc& doc,
                CDensityChart& chart);

// The table of the six test points in the rectangle, drawn with the font and pen that are
// selected on `dc`: a three-row header, one row per slot with the present points first in
// slot order (a point left out of the fit numbered with an asterisk), and the ruling of eight
// equal columns. A value that cannot be computed (no
// dry weight, no mold volume) is left blank.
void DrawTestTable(framework::DrawingSurface& dc, int left, int top, int right, int bottom,
                   const CDensoraDoc& doc);

}  // namespace print
