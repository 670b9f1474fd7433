// Benchmarks of the projects directory at the size of years of lab work: 100,000 tests.
// The tree is generated once under $DENSORA_BENCH_DIR (default /tmp/densora-bench-projects).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

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

}  // namespace

BENCHMARK_MAIN();
