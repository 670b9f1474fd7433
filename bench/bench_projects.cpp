// Benchmarks of the projects directory at the size of years of lab work: 100,000 tests.
// The tree is generated once under $DENSORA_BENCH_DIR (default /tmp/densora-bench-projects).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "file/document_commands.h"
#include "file/project_tree.h"
#include "model/densora_doc.h"
#include "model/density_curve.h"
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

struct NoHost : CommandHost {
  std::optional<std::string> AskOpenFileName(const std::string&) override { return {}; }
  std::optional<std::string> AskSaveFileName(const std::string&) override { return {}; }
  std::optional<std::string> AskProjectsDirectory() override { return {}; }
  void StoreProjectsDirectory(const std::string&) override {}
  void DocumentOpened(const std::string&) override {}
  void DocumentOpenFailed(const std::string&) override {}
  void RefreshTree() override {}
};

// Save of a new record into the large tree: the write, then the listing the tree rebuild
// needs (the widget part is measured by the tree benchmark).
void BM_SaveThenList(benchmark::State& state) {
  std::string root = BenchRoot();
  CDensoraDoc doc;
  CDensityCurve curve(doc);
  NoHost host;
  CDocumentCommands cmds(doc, curve, root, host);
  CompactionRecord& r = doc.m_record;
  r.m_strProject = "PROJECT 100";
  r.m_strTipNo = "T-102";
  r.m_strCounty = "Adams";
  r.m_strStation = "1+00";
  r.m_strTestNo = "999";
  r.m_strDate = "01/02/2026";
  r.m_strTestType = "Subgrade";
  r.m_strTestedBy = "Bench";
  r.m_dMoldWeight = 4250;
  r.Point(0).m_dMoldSoil = 6020.4;
  r.Point(0).m_dWetSample = 212.6;
  r.Point(0).m_dDrySample = 195.0;
  for (auto _ : state) {
    cmds.OnFileSave();
    auto tree = ScanProjectsDir(root);
    benchmark::DoNotOptimize(tree);
  }
}
BENCHMARK(BM_SaveThenList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
