#include "model/relative_compaction.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "framework/text_format.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"

namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// "95" or "92.5": up to three digits, and one decimal at most.
std::optional<double> ParsePercent(std::string_view text) {
  const std::size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view decimals = dot == std::string_view::npos ? "" : text.substr(dot + 1);
  const auto digits = [](std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.empty() || whole.size() > 3 || !digits(whole) ||
      (dot != std::string_view::npos && (decimals.size() != 1 || !digits(decimals)))) {
    return std::nullopt;
  }
  double value = 0.0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) {
    return std::nullopt;
  }
  if (value < kMinCompactionPercent || value > kMaxCompactionPercent) return std::nullopt;
  return value;
}

// Where the line at `target` crosses the segment from sample a (at or above it) to sample b
// (below it).
double Crossing(const std::vector<double>& x, const std::vector<double>& y, std::size_t a,
                std::size_t b, double target) {
  return x[a] + (target - y[a]) / (y[b] - y[a]) * (x[b] - x[a]);
}

std::string EndText(const std::optional<double>& moisture) {
  return moisture ? framework::FormatFinite("%.1f", *moisture) + " %" : "beyond the points";
}

}  // namespace

std::optional<std::vector<double>> ParseCompactionPercents(std::string_view text) {
  std::vector<double> percents;
  if (Trimmed(text).empty()) return percents;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = text.find(',', at);
    const auto percent = ParsePercent(Trimmed(text.substr(at, comma - at)));
    if (!percent) return std::nullopt;
    percents.push_back(*percent);
    if (comma == std::string_view::npos) break;
    at = comma + 1;
  }
  std::sort(percents.begin(), percents.end());
  percents.erase(std::unique(percents.begin(), percents.end()), percents.end());
  if (percents.size() > kMaxCompactionPercents) return std::nullopt;
  return percents;
}

std::string FormatCompactionPercents(const std::vector<double>& percents) {
  std::string text;
  for (const double p : percents) text += (text.empty() ? "" : ",") + PercentText(p);
  return text;
}

std::string PercentText(double percent) { return framework::StrFormat("%g", percent); }

std::vector<CompactionWindow> RelativeCompaction(const CDensityCurve& curve) {
  const CDensoraDoc& doc = curve.Document();
  const double stored = doc.m_record.m_dMaxDryDensity;
  const std::vector<double>& x = curve.m_dSampleMoisture;
  const std::vector<double>& y = curve.m_dSampleUnitWeight;
  // A degenerate fit leaves its maximum at 0. The samples hold 20 per interval and the first
  // and last point; the peak is the first highest of all but those two ends, as the fit chose
  // it.
  if (curve.m_nPointCount < 3 || stored == 0.0 || !std::isfinite(stored) || x.size() != y.size() ||
      x.size() < 3) {
    return {};
  }
  const std::size_t last = x.size() - 1;
  const auto peakAt =
      std::max_element(y.begin() + 1, y.begin() + static_cast<std::ptrdiff_t>(last));
  const std::size_t peak = static_cast<std::size_t>(peakAt - y.begin());
  const double mdd = *peakAt;
  if (!(mdd > 0.0) || !std::isfinite(mdd)) return {};

  std::vector<CompactionWindow> windows;
  for (const double percent : doc.m_dRelativeCompaction) {
    CompactionWindow w{percent, percent / 100.0 * mdd, std::nullopt, std::nullopt};
    for (std::size_t j = peak; j-- > 0;) {
      if (y[j] < w.density) {
        w.moistureFrom = Crossing(x, y, j + 1, j, w.density);
        break;
      }
    }
    for (std::size_t j = peak + 1; j <= last; ++j) {
      if (y[j] < w.density) {
        w.moistureTo = Crossing(x, y, j - 1, j, w.density);
        break;
      }
    }
    windows.push_back(w);
  }
  return windows;
}

std::string RelativeCompactionLine(const CompactionWindow& window, std::string_view densityUnit) {
  // The unit text carries its own leading blank where it has one (" pcf").
  const std::string space = densityUnit.starts_with(' ') ? "" : " ";
  return PercentText(window.percent) +
         " % of maximum dry density: " + framework::FormatFinite("%.1f", window.density) + space +
         std::string(densityUnit) + ", moisture " + EndText(window.moistureFrom) + " to " +
         EndText(window.moistureTo);
}
