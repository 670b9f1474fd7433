// Benchmarks of the projects directory at the size of years of lab work: listing a folder of
// 10,000 tests for the tree, and summarising every file of 100,000 tests; and of one test: its
// fit with the relative-compaction windows, and its report page.
// Everything is written once under $DENSORA_BENCH_DIR (default /tmp/densora-bench).
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "chart/density_chart.h"
#include "file/project_summary.h"
#include "file/project_tree.h"
#include "framework/drawing_surface.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/relative_compaction.h"
#include "print/report.h"
#include "projects_generator.h"

namespace {

// The laboratory's percentages of each run: none (0), or 90 and 95 (1).
std::vector<double> Percents(const benchmark::State& state) {
  return state.range(0) == 0 ? std::vector<double>{} : std::vector<double>{90, 95};
}

// One folder of 10,000 tests read and put in alphabetical order, as the tree opens it.
void BM_ListFolder(benchmark::State& state) {
  const std::string big = BigFolderDir() + "/BIG";
  std::size_t items = 0;
  for (auto _ : state) {
    const auto nodes = ListFolder(big);
    items = nodes.size();
    benchmark::DoNotOptimize(nodes);
  }
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Output thrown away as it comes, as `densora-cli summary > /dev/null` does.
class NullBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int overflow(int c) override { return c; }
};

// Every file read, fitted and written as a CSV row.
// Every file read, fitted and written as a CSV row, without (0) and with (1) the windows of
// two relative-compaction percentages.
void BM_WriteProjectSummary(benchmark::State& state) {
  const std::string root = BenchProjectsDir();
  const std::vector<double> percents = Percents(state);
  NullBuffer buffer;
  std::ostream out(&buffer);
  std::size_t files = 0;
  for (auto _ : state) {
    const std::size_t errors = WriteProjectSummary(
        root, SummaryFormat::kCsv, kEnglish, out,
        [&](std::size_t done) {
          files = done;
          return true;
        },
        percents);
    benchmark::DoNotOptimize(errors);
  }
  state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_WriteProjectSummary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A test of five points, one of them left out of the fit when the windows are asked for.
void FillRecord(CDensoraDoc& doc, const benchmark::State& state) {
  CompactionRecord& r = doc.m_record;
  r.m_strProject = "MAIN ST";
  r.m_dMoldWeight = 4250.0;
  const double points[5][3] = {{6020.4, 212.6, 195.0},
                               {6105.2, 220.3, 198.9},
                               {6148.9, 231.4, 204.2},
                               {6131.7, 240.8, 208.1},
                               {6079.3, 247.5, 209.6}};
  for (int i = 0; i < 5; ++i) {
    r.Point(i).m_dMoldSoil = points[i][0];
    r.Point(i).m_dWetSample = points[i][1];
    r.Point(i).m_dDrySample = points[i][2];
  }
  r.m_dLongTestDensity = 109.5;
  r.m_dLongTestMoisture = 11.8;
  doc.m_dRelativeCompaction = Percents(state);
  if (state.range(0) != 0) doc.m_record.m_ext.excluded[3] = "mold not seated";
}

// One record fitted as the curve page and the report fit it, and the windows of its
// percentages taken from the samples.
void BM_FitWithRelativeCompaction(benchmark::State& state) {
  CDensoraDoc doc;
  FillRecord(doc, state);
  CDensityCurve curve(doc);
  for (auto _ : state) {
    curve.FitRecord();
    benchmark::DoNotOptimize(RelativeCompaction(curve));
  }
}
BENCHMARK(BM_FitWithRelativeCompaction)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A surface at 600 dpi that draws nothing: the painters' own work, without a device's.
class NullSurface : public framework::DrawingSurface {
 public:
  int DpiX() const override { return 600; }
  int DpiY() const override { return 600; }
  framework::Pen SelectPen(const framework::Pen& pen) override { return std::exchange(m_pen, pen); }
  framework::Brush SelectBrush(const framework::Brush& brush) override {
    return std::exchange(m_brush, brush);
  }
  framework::Font SelectFont(const framework::Font& font) override {
    return std::exchange(m_font, font);
  }
  framework::BkMode SetBkMode(framework::BkMode mode) override {
    return std::exchange(m_mode, mode);
  }
  void FillRect(int, int, int, int, const framework::Brush&) override {}
  void Ellipse(int, int, int, int) override {}
  void Rectangle(int, int, int, int) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Polyline(const std::vector<framework::DevicePoint>& points) override {
    benchmark::DoNotOptimize(points.data());
  }
  void TextOut(int, int, const std::string& text) override {
    benchmark::DoNotOptimize(text.data());
  }
  void DrawTextCentered(const std::string&, int, int, int, int) override {}
  void DrawBitmap(int, int, const framework::MonoBitmap&) override {}
  framework::TextSize TextExtent(const std::string& text) const override {
    const int height = m_font.height < 0 ? -m_font.height : 83;
    return {static_cast<int>(text.size()) * height / 2, height * 115 / 100, height * 72 / 100};
  }

 private:
  framework::Pen m_pen;
  framework::Brush m_brush;
  framework::Font m_font;
  framework::BkMode m_mode = framework::BkMode::Opaque;
};

// The report page of one test drawn on paper: refit, table, lines and chart.
void BM_DrawReportPage(benchmark::State& state) {
  CDensoraDoc doc;
  FillRecord(doc, state);
  CDensityCurve curve(doc);
  CDensityChart chart(curve);
  NullSurface dc;
  for (auto _ : state) print::DrawReport(dc, 5100, 6600, doc, chart);
}
BENCHMARK(BM_DrawReportPage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
