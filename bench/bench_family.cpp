// Benchmarks of a family of curves at the size of a lab's whole archive: 10,000 member tests
// in one folder. Reading and fitting every file with the files in the system's cache; opening
// the family again, when the cache by file stamp reads nothing; and the one-point lookup
// once the family is loaded.
#include <benchmark/benchmark.h>

#include <string>

#include "file/family_folder.h"
#include "projects_generator.h"

namespace {

const FamilyKey kKey{"AASHTO T 99", "A"};

// Every file read and fitted, the family selected and its spine fitted.
void BM_FamilyReadFitSpine(benchmark::State& state) {
  const std::string folder = FamilyFolderDir() + "/FAMILY";
  std::size_t members = 0;
  for (auto _ : state) {
    FamilyCache cache;
    const Family family = LoadFamily(cache, folder, kKey);
    members = family.members.size();
    benchmark::DoNotOptimize(family.spine);
  }
  state.counters["members"] = static_cast<double>(members);
}
BENCHMARK(BM_FamilyReadFitSpine)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The family opened again: every file's stamp compared, none read.
void BM_FamilyOpenAgain(benchmark::State& state) {
  const std::string folder = FamilyFolderDir() + "/FAMILY";
  FamilyCache cache;
  LoadFamily(cache, folder, kKey);
  for (auto _ : state) {
    const Family family = LoadFamily(cache, folder, kKey);
    benchmark::DoNotOptimize(family.spine);
  }
  state.counters["read"] = static_cast<double>(cache.FilesRead());
}
BENCHMARK(BM_FamilyOpenAgain)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One point determined against the loaded family of 10,000 curves.
void BM_OnePointLookup(benchmark::State& state) {
  FamilyCache cache;
  const Family family = LoadFamily(cache, FamilyFolderDir() + "/FAMILY", kKey);
  int k = 0;
  for (auto _ : state) {
    const double moisture = 12.0 + (k++ % 10) * 0.3;
    const OnePointResult r = DetermineOnePoint(family, moisture, 112.0);
    benchmark::DoNotOptimize(r.maxDryDensity);
  }
}
BENCHMARK(BM_OnePointLookup)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
