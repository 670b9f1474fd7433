#pragma once
// Relative compaction: a field density specified as a percentage of the laboratory's maximum
// dry density (95 %, say). For each percentage the lab works to, the dry density p·MDD and the
// moisture window in which the fitted curve reaches it, the range a contractor must compact at.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CDensityCurve;

// The percentages a laboratory may work to, and how many at once.
inline constexpr double kMinCompactionPercent = 50.0;
inline constexpr double kMaxCompactionPercent = 100.0;
inline constexpr std::size_t kMaxCompactionPercents = 5;
// The desktop program's setting that holds them, which densora-cli reads too.
inline constexpr const char* kCompactionSetting = "Relative Compaction";
// The percentages when the laboratory has set none: the one field inspectors work to most.
inline constexpr const char* kDefaultCompactionPercents = "95";
// What a list must be, for the messages that refuse one.
inline constexpr const char* kCompactionPercentsNeeded =
    "percentages from 50 to 100 with at most one decimal, at most five, separated by commas "
    "(90,95)";

// The percentages of a list such as "95" or "90, 95, 92.5": each from 50 to 100 with at most
// one decimal, in ascending order, each once. A blank text is the empty list: no lines. None
// for any other text.
std::optional<std::vector<double>> ParseCompactionPercents(std::string_view text);
// The list as ParseCompactionPercents reads it: "90,95".
std::string FormatCompactionPercents(const std::vector<double>& percents);
// A percentage as the chart's label, the report and the summary's columns write it: "95",
// "92.5".
std::string PercentText(double percent);

struct CompactionWindow {
  double percent;
  double density;  // p·MDD, in the units of the fit
  // Where the curve comes down to that density on the dry and on the wet side of the
  // optimum, percent; none where it is still above it at the first or last point.
  std::optional<double> moistureFrom, moistureTo;
};

// The window of each of the document's relative-compaction percentages on the last fit of
// `curve`: the stretch of the sampled curve around its peak that lies at or above p·MDD, its
// ends found by linear interpolation between the samples either side. Empty when the fit gave
// no maximum (fewer than three points, or degenerate data).
std::vector<CompactionWindow> RelativeCompaction(const CDensityCurve& curve);

// The window as the report and densora-cli print it: "95 % of maximum dry density: 105.9 pcf,
// moisture 9.8 % to 14.1 %", an open end reading "beyond the points". `densityUnit` is the
// document's (" pcf" with its own blank, or "kg/m³").
std::string RelativeCompactionLine(const CompactionWindow& window, std::string_view densityUnit);
