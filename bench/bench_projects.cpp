// Benchmarks of the projects directory at the size of years of lab work: 100,000 tests:
// listing it for the tree, and summarising every file in it.
// The tree is generated once under $DENSORA_BENCH_DIR (default /tmp/densora-bench-projects).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>

#include "file/project_summary.h"
#include "file/project_tree.h"
#include "projects_generator.h"

namespace {

std::string BenchRoot() {
  const char* env = std::getenv("DENSORA_BENCH_DIR");
  static const std::string root = env ? env : "/tmp/densora-bench-projects";
  static const long files = MakeProjectsDirectory(root);
  (void)files;
  return root;
}

void BM_ScanProjectsDir(benchmark::State& state) {
  const std::string root = BenchRoot();
  std::size_t items = 0;
  for (auto _ : state) {
    auto tree = ScanProjectsDir(root);
    items = CountNodes(tree);
    benchmark::DoNotOptimize(tree);
  }
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_ScanProjectsDir)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Output thrown away as it comes, as `densora-cli summary > /dev/null` does.
class NullBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int overflow(int c) override { return c; }
};

// Every file read, fitted and written as a CSV row.
void BM_WriteProjectSummary(benchmark::State& state) {
  const std::string root = BenchRoot();
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
