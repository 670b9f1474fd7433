// The dialog templates of the form, the five pages and the About box, in dialog units.
// The order of each table is the tab order of its tab stops.
#include "views/control_ids.h"
#include "views/dialog_template.h"

namespace dlg {
namespace {

namespace mf = ctl::main_form;
namespace pi = ctl::project_info;
namespace cv = ctl::curve;
namespace td = ctl::test_data;
namespace lt = ctl::long_test;
namespace sm = ctl::soil_method;
namespace ab = ctl::about;

constexpr Control kMainFormControls[] = {
    {Kind::Tree, mf::IDC_TREE, nullptr, 7, 7, 98, 256, kNone},
    {Kind::Tabs, mf::IDC_TABS, nullptr, 105, 8, 338, 255, kNone},
};

constexpr Control kProjectInfoControls[] = {
    {Kind::Label, kNoId, "PROJECT INFORMATION", 114, 19, 0, 0, kNone},
    {Kind::Label, kNoId, "Project *", 18, 47, 0, 0, kNone},
    {Kind::Edit, pi::IDC_PROJECT, nullptr, 61, 44, 69, 14, kRight | kUpper},
    {Kind::Label, kNoId, "T.I.P. No.", 18, 71, 0, 0, kNone},
    {Kind::Edit, pi::IDC_TIP_NO, nullptr, 61, 67, 69, 14, kRight | kUpper},
    {Kind::Label, kNoId, "County *", 18, 92, 0, 0, kNone},
    {Kind::DropList, pi::IDC_COUNTY, nullptr, 62, 91, 69, 120, kNone},
    {Kind::Label, kNoId, "Station *", 18, 116, 0, 0, kNone},
    {Kind::Edit, pi::IDC_STATION, nullptr, 61, 113, 69, 14, kRight},
    {Kind::Label, kNoId, "Date *", 157, 47, 0, 0, kNone},
    {Kind::DatePicker, pi::IDC_DATE, nullptr, 208, 43, 69, 15, kNone},
    {Kind::Label, kNoId, "Test No. *", 157, 92, 0, 0, kNone},
    {Kind::Edit, pi::IDC_TEST_NO, nullptr, 209, 89, 69, 14, kRight | kUpper},
    {Kind::Label, kNoId, "Tested by *", 157, 116, 0, 0, kNone},
    {Kind::Edit, pi::IDC_TESTED_BY, nullptr, 209, 113, 69, 14, kRight},
    {Kind::Label, kNoId, "Comments", 18, 153, 0, 0, kNone},
    {Kind::Edit, pi::IDC_COMMENTS, nullptr, 62, 151, 218, 14, kNone},
    {Kind::Label, kNoId, "Test Type *", 157, 71, 0, 0, kNone},
    {Kind::DropList, pi::IDC_TEST_TYPE, nullptr, 209, 69, 69, 68, kNone},
    {Kind::Button, pi::IDC_CLEAR, "Clear Entries", 133, 176, 50, 14, kNoTabStop},
    {Kind::Label, kNoId, "* - indicates a required-entry field", 106, 194, 0, 0, kNone},
};

constexpr Control kCurveControls[] = {
    {Kind::Label, kNoId, "Display using: ", 71, 2, 50, 8, kNone},
    {Kind::Radio, cv::IDC_ENGLISH, "English Units", 123, 1, 57, 10, kGroup},
    {Kind::Radio, cv::IDC_METRIC, "Metric Units", 179, 1, 53, 10, kNone},
    {Kind::Frame, cv::IDC_GRAPH, nullptr, 0, 12, 315, 208, kNone},  // the page is 315 wide
    // Whether the points bracket the optimum: shown, when there is something to say, below
    // the chart, which gives up the rows it takes.
    {Kind::Label, cv::IDC_CHECKS, nullptr, 0, 220, 315, 8, kWrap},
};

constexpr Control kTestDataControls[] = {
    {Kind::Label, kNoId, "CURVE DATA", 134, 8, 0, 0, kNone},
    {Kind::Label, kNoId, "Mold Weight (g) *", 37, 31, 0, 0, kNone},
    {Kind::Label, kNoId, "(required entry)", 39, 40, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_WEIGHT, nullptr, 96, 30, 50, 14, kRight},
    {Kind::Label, kNoId, "Mold Volume (cu. ft.)", 165, 31, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_VOLUME, nullptr, 238, 29, 50, 14, kRight | kReadOnly | kNoTabStop},
    {Kind::Label, kNoId, "Test No.", 45, 64, 0, 0, kNone},
    {Kind::Label, kNoId, "Weight of Mold+Soil (g)", 86, 55, 40, 28, kCenter | kWrap},
    {Kind::Label, kNoId, "Weight of Wet Sample (g)", 145, 55, 42, 28, kCenter | kWrap},
    {Kind::Label, kNoId, "Weight of Dry Sample (g)", 207, 55, 42, 28, kCenter | kWrap},
    {Kind::Label, td::IDC_NUMBER_ROW1, "1", 54, 89, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_SOIL_ROW1, nullptr, 86, 86, 40, 14, kRight},
    {Kind::Edit, td::IDC_WET_ROW1, nullptr, 146, 86, 40, 14, kRight},
    {Kind::Edit, td::IDC_DRY_ROW1, nullptr, 208, 86, 40, 14, kRight},
    {Kind::Label, td::IDC_NUMBER_ROW1 + 1, "2", 54, 109, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_SOIL_ROW1 + 1, nullptr, 86, 106, 40, 14, kRight},
    {Kind::Edit, td::IDC_WET_ROW1 + 1, nullptr, 146, 106, 40, 14, kRight},
    {Kind::Edit, td::IDC_DRY_ROW1 + 1, nullptr, 208, 106, 40, 14, kRight},
    {Kind::Label, td::IDC_NUMBER_ROW1 + 2, "3", 54, 129, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_SOIL_ROW1 + 2, nullptr, 86, 126, 40, 14, kRight},
    {Kind::Edit, td::IDC_WET_ROW1 + 2, nullptr, 146, 126, 40, 14, kRight},
    {Kind::Edit, td::IDC_DRY_ROW1 + 2, nullptr, 208, 126, 40, 14, kRight},
    {Kind::Label, td::IDC_NUMBER_ROW1 + 3, "4", 54, 149, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_SOIL_ROW1 + 3, nullptr, 86, 146, 40, 14, kRight},
    {Kind::Edit, td::IDC_WET_ROW1 + 3, nullptr, 146, 146, 40, 14, kRight},
    {Kind::Edit, td::IDC_DRY_ROW1 + 3, nullptr, 208, 146, 40, 14, kRight},
    {Kind::Label, td::IDC_NUMBER_ROW1 + 4, "5", 54, 169, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_SOIL_ROW1 + 4, nullptr, 86, 166, 40, 14, kRight},
    {Kind::Edit, td::IDC_WET_ROW1 + 4, nullptr, 146, 166, 40, 14, kRight},
    {Kind::Edit, td::IDC_DRY_ROW1 + 4, nullptr, 208, 166, 40, 14, kRight},
    {Kind::Label, td::IDC_NUMBER_ROW1 + 5, "6", 54, 189, 0, 0, kNone},
    {Kind::Edit, td::IDC_MOLD_SOIL_ROW1 + 5, nullptr, 86, 186, 40, 14, kRight},
    {Kind::Edit, td::IDC_WET_ROW1 + 5, nullptr, 146, 186, 40, 14, kRight},
    {Kind::Edit, td::IDC_DRY_ROW1 + 5, nullptr, 208, 186, 40, 14, kRight},
    {Kind::Button, td::IDC_CLEAR, "Clear Entries", 144, 208, 50, 14, kNone},
};

constexpr Control kLongTestControls[] = {
    {Kind::Label, kNoId, "LONG TEST RESULTS", 119, 41, 0, 0, kNone},
    {Kind::Label, kNoId, "Max. Dry Density from Long test:", 67, 62, 0, 0, kNone},
    {Kind::Edit, lt::IDC_DENSITY, nullptr, 180, 60, 40, 14, kNone},
    {Kind::Label, lt::IDC_UNIT_PCF, "pcf", 224, 62, 0, 0, kNone},
    {Kind::Label, lt::IDC_UNIT_METRIC, "kg/m\xC2\xB3", 224, 62, 24, 8, kNone},
    {Kind::Label, kNoId, "Optimum Moisture from long test:", 67, 83, 0, 0, kNone},
    {Kind::Edit, lt::IDC_MOISTURE, nullptr, 180, 81, 40, 14, kNone},
    {Kind::Label, kNoId, "%", 224, 83, 0, 0, kNone},
    {Kind::Label, kNoId, "Dry Density long test rating:", 43, 123, 0, 0, kNone},
    {Kind::Edit, lt::IDC_DENSITY_RATING, nullptr, 156, 121, 117, 14, kReadOnly | kNoTabStop},
    {Kind::Label, kNoId, "Optimum Moisture long test rating:", 43, 147, 0, 0, kNone},
    {Kind::Edit, lt::IDC_MOISTURE_RATING, nullptr, 156, 145, 117, 14, kReadOnly | kNoTabStop},
};

// The entries on the left, the standard's method, the standard molds and the source of Gs
// beside them on the right; below, what they make of the points: each point's saturation on
// the right, the oversize-corrected results on the left and the checks across the page.
constexpr Control kSoilMethodControls[] = {
    {Kind::Label, kNoId, "SOIL AND METHOD", 125, 4, 0, 0, kNone},
    {Kind::Label, kNoId, "Standard", 14, 18, 0, 0, kNone},
    {Kind::DropList, sm::IDC_STANDARD, nullptr, 108, 16, 82, 80, kNone},
    {Kind::Label, kNoId, "Method", 196, 18, 0, 0, kNone},
    {Kind::DropList, sm::IDC_METHOD, nullptr, 232, 16, 36, 80, kNone},
    {Kind::Label, kNoId, "Mold volume (cu. ft.)", 14, 35, 0, 0, kNone},
    {Kind::Edit, sm::IDC_MOLD_VOLUME, nullptr, 108, 33, 82, 14, kRight},
    {Kind::Button, sm::IDC_MOLD_4IN, "4-inch mold", 196, 33, 50, 14, kNone},
    {Kind::Button, sm::IDC_MOLD_6IN, "6-inch mold", 250, 33, 50, 14, kNone},
    {Kind::Label, kNoId, "Specific gravity (Gs)", 14, 52, 0, 0, kNone},
    {Kind::Edit, sm::IDC_GS, nullptr, 108, 50, 40, 14, kRight},
    {Kind::Label, kNoId, "Source", 196, 52, 0, 0, kNone},
    {Kind::DropList, sm::IDC_GS_SOURCE, nullptr, 232, 50, 50, 60, kNone},
    {Kind::Label, kNoId, "Oversize fraction", 14, 70, 0, 0, kNone},
    {Kind::Label, kNoId, "Percent retained (Pc)", 22, 82, 0, 0, kNone},
    {Kind::Edit, sm::IDC_OVERSIZE_PERCENT, nullptr, 108, 80, 40, 14, kRight},
    {Kind::Label, kNoId, "%", 151, 82, 0, 0, kNone},
    {Kind::Label, kNoId, "Bulk specific gravity (Gm)", 22, 98, 0, 0, kNone},
    {Kind::Edit, sm::IDC_OVERSIZE_GS, nullptr, 108, 96, 40, 14, kRight},
    {Kind::Label, kNoId, "Moisture (MCc)", 22, 114, 0, 0, kNone},
    {Kind::Edit, sm::IDC_OVERSIZE_MOISTURE, nullptr, 108, 112, 40, 14, kRight},
    {Kind::Label, kNoId, "%", 151, 114, 0, 0, kNone},
    {Kind::Label, kNoId, "Corrected max. dry density", 14, 134, 0, 0, kNone},
    {Kind::Edit, sm::IDC_CORRECTED_DENSITY, nullptr, 108, 132, 44, 14,
     kRight | kReadOnly | kNoTabStop},
    {Kind::Label, sm::IDC_DENSITY_UNIT, "kg/m\xC2\xB3", 155, 134, 24, 8, kNone},
    {Kind::Label, kNoId, "Corrected optimum moisture", 14, 150, 0, 0, kNone},
    {Kind::Edit, sm::IDC_CORRECTED_MOISTURE, nullptr, 108, 148, 44, 14,
     kRight | kReadOnly | kNoTabStop},
    {Kind::Label, kNoId, "%", 155, 150, 0, 0, kNone},
    {Kind::Label, kNoId, "Degree of saturation", 196, 70, 0, 0, kNone},
    {Kind::Edit, sm::IDC_SATURATION_ROW1, nullptr, 196, 80, 104, 14, kReadOnly | kNoTabStop},
    {Kind::Edit, sm::IDC_SATURATION_ROW1 + 1, nullptr, 196, 96, 104, 14, kReadOnly | kNoTabStop},
    {Kind::Edit, sm::IDC_SATURATION_ROW1 + 2, nullptr, 196, 112, 104, 14, kReadOnly | kNoTabStop},
    {Kind::Edit, sm::IDC_SATURATION_ROW1 + 3, nullptr, 196, 128, 104, 14, kReadOnly | kNoTabStop},
    {Kind::Edit, sm::IDC_SATURATION_ROW1 + 4, nullptr, 196, 144, 104, 14, kReadOnly | kNoTabStop},
    {Kind::Edit, sm::IDC_SATURATION_ROW1 + 5, nullptr, 196, 160, 104, 14, kReadOnly | kNoTabStop},
    {Kind::Label, kNoId, "Checks", 14, 180, 0, 0, kNone},
    {Kind::TextBox, sm::IDC_CHECKS, nullptr, 14, 190, 286, 34, kReadOnly | kNoTabStop},
};

constexpr Control kAboutControls[] = {
    {Kind::Frame, ab::IDC_ICON_FRAME, nullptr, 11, 17, 20, 20, kNone},
    {Kind::Label, ab::IDC_VERSION, "Densora Version " DENSORA_VERSION, 40, 10, 0, 0, kNone},
    {Kind::Label, kNoId, "Moisture-density (compaction) tests to AASHTO T-99", 40, 22, 0, 0, kNone},
    {Kind::Label, kNoId, "Written for the soil laboratory's technicians.", 40, 34, 0, 0, kNone},
    {Kind::Button, ab::IDOK, "OK", 178, 52, 50, 14, kDefault},
};

}  // namespace

const Template kMainForm{101, 450, 270, kMainFormControls};
const Template kProjectInfoPage{130, 315, 228, kProjectInfoControls};
const Template kCurvePage{131, 315, 228, kCurveControls};
const Template kTestDataPage{132, 315, 228, kTestDataControls};
const Template kLongTestPage{133, 315, 228, kLongTestControls};
const Template kSoilMethodPage{134, 315, 228, kSoilMethodControls};
const Template kAboutBox{100, 236, 72, kAboutControls};

}  // namespace dlg
