// Benchmarks of the projects directory at the size of years of lab work: listing a folder of
// 10,000 tests for the tree, and summarising every file of 100,000 tests.
// Everything is written once under $DENSORA_BENCH_DIR (default /tmp/densora-bench).
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>

#include "file/project_summary.h"
#include "file/project_tree.h"
#include "projects_generator.h"

namespace {

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
void BM_WriteProjectSummary(benchmark::State& state) {
  const std::string root = BenchProjectsDir();
  NullBuffer buffer;
  std::ostream out(&buffer);
  std::size_t files = 0;
  for (auto _ : state) {
    const std::size_t errors =
        WriteProjectSummary(root, SummaryFormat::kCsv, kEnglish, out, [&](std::size_t done) {
          files = done;
          return true;
        });
    benchmark::DoNotOptimize(errors);
  }
  state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_WriteProjectSummary)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
