#pragma once
// The printed page of a family of curves: one US Letter page with the family's chart and
// its table. Print and Export as PDF of the family's window draw it through this function.
#include <string>

#include "framework/drawing_surface.h"
#include "model/family.h"

namespace print {

// Draws the family's page on `dc`, whose drawable page is `pageWidth` × `pageHeight` device
// units: the title, the folder `folderName` (UTF-8) with the standard and method, the chart
// (unit weights times `densityFactor`, in `unit`, labelled every `axisStep` units at most)
// in the upper half, and below it the table of the members (test, county, test type, date,
// MDD, OMC, standard, method) with as many rows as the page holds, a last row saying how
// many more there are, then the line of the tests left out. A family that is not complete
// says so in the table's place.
void DrawFamilyPage(framework::DrawingSurface& dc, int pageWidth, int pageHeight,
                    const Family& family, const std::string& folderName, double densityFactor,
                    const std::string& unit, int axisStep);

}  // namespace print
