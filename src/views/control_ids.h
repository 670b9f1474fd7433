#pragma once
// The numeric identifiers of the form's controls, each written once: the dialog templates
// place the controls under them, and the pages, the view and the tests find the controls by
// them. An identifier is unique within its own template only, so each template has a
// namespace of its own; a page takes its template's names into its class.
namespace ctl {

namespace main_form {
enum Id : int { IDC_TREE = 1000, IDC_TABS = 1001 };
}

namespace project_info {
enum Id : int {
  IDC_PROJECT = 1001,
  IDC_DATE = 1002,
  IDC_STATION = 1003,
  IDC_TEST_NO = 1004,
  IDC_TESTED_BY = 1009,
  IDC_CLEAR = 1011,
  IDC_TEST_TYPE = 1012,
  IDC_TIP_NO = 1016,
  IDC_COUNTY = 1023,
  IDC_COMMENTS = 1026,
};
}

namespace curve {
enum Id : int { IDC_GRAPH = 1005, IDC_ENGLISH = 1019, IDC_METRIC = 1020, IDC_CHECKS = 1021 };
}

namespace test_data {
// Row r (1 to 6) of the point edits and of the rows' numbers is the first row's identifier
// + r - 1.
enum Id : int {
  IDC_MOLD_WEIGHT = 1001,
  IDC_MOLD_VOLUME = 1002,
  IDC_MOLD_SOIL_ROW1 = 1004,
  IDC_WET_ROW1 = 1010,
  IDC_DRY_ROW1 = 1016,
  IDC_CLEAR = 1024,
  IDC_NUMBER_ROW1 = 1030,
};
}  // namespace test_data

namespace long_test {
enum Id : int {
  IDC_DENSITY = 1003,
  IDC_MOISTURE = 1004,
  IDC_UNIT_PCF = 1005,
  IDC_UNIT_METRIC = 1006,
  IDC_DENSITY_RATING = 1007,
  IDC_MOISTURE_RATING = 1008,
};
}

namespace soil_method {
// Row r (1 to 6) of the saturation fields is the first row's identifier + r - 1.
enum Id : int {
  IDC_STANDARD = 1001,
  IDC_METHOD = 1002,
  IDC_MOLD_VOLUME = 1003,
  IDC_MOLD_4IN = 1004,
  IDC_MOLD_6IN = 1005,
  IDC_GS = 1006,
  IDC_GS_SOURCE = 1007,
  IDC_OVERSIZE_PERCENT = 1008,
  IDC_OVERSIZE_GS = 1009,
  IDC_OVERSIZE_MOISTURE = 1010,
  IDC_SATURATION_ROW1 = 1011,
  IDC_CORRECTED_DENSITY = 1017,
  IDC_DENSITY_UNIT = 1018,
  IDC_CORRECTED_MOISTURE = 1019,
  IDC_CHECKS = 1020,
};
}  // namespace soil_method

namespace about {
enum Id : int { IDOK = 1, IDC_ICON_FRAME = 1100, IDC_VERSION = 1101 };
}

}  // namespace ctl
