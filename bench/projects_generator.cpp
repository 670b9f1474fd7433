#include "projects_generator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "file/lng_format.h"
#include "model/densora_doc.h"

namespace fs = std::filesystem;

long MakeProjectsDirectory(const std::string& root, const ProjectsShape& shape) {
  static const char* kTypes[] = {"Cement", "Curve (no long test)", "Embankment", "Lime",
                                 "Subgrade"};
  const fs::path marker = fs::path(root) / ".complete";
  const long total =
      static_cast<long>(shape.projects) * shape.tipNumbers * shape.testTypes * shape.tests;
  if (fs::exists(marker)) return total;
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_strCounty = "Adams";
  r.m_strStation = "12+50 RT";
  r.m_strDate = "05/09/2003";
  r.m_strTestedBy = "J. Ortiz";
  r.m_dMoldWeight = 4250;
  const double pts[5][3] = {{6020.4, 212.6, 195.0},
                            {6105.2, 220.3, 198.9},
                            {6148.9, 231.4, 204.2},
                            {6131.7, 240.8, 208.1},
                            {6079.3, 247.5, 209.6}};
  for (int i = 0; i < 5; ++i) {
    r.Point(i).m_dMoldSoil = pts[i][0];
    r.Point(i).m_dWetSample = pts[i][1];
    r.Point(i).m_dDrySample = pts[i][2];
  }
  r.m_nPointCount = 5;
  long written = 0;
  char name[64];
  for (int p = 0; p < shape.projects; ++p) {
    std::snprintf(name, sizeof name, "PROJECT %03d", p);
    r.m_strProject = name;
    for (int t = 0; t < shape.tipNumbers; ++t) {
      std::snprintf(name, sizeof name, "T-%d", 100 + t);
      r.m_strTipNo = name;
      for (int k = 0; k < shape.testTypes; ++k) {
        r.m_strTestType = kTypes[k % 5];
        const fs::path folder = fs::path(root) / r.m_strProject / r.m_strTipNo / r.m_strTestType;
        fs::create_directories(folder);
        for (int n = 1; n <= shape.tests; ++n) {
          r.m_strTestNo = std::to_string(n);
          const auto bytes = LngBytes(r);
          std::ofstream out(folder / (r.m_strTestNo + r.m_strTestType.substr(0, 3) + ".lng"),
                            std::ios::binary);
          out.write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()));
          ++written;
        }
      }
    }
  }
  std::ofstream(marker) << written << '\n';
  return written;
}

std::string BenchDir() {
  const char* env = std::getenv("DENSORA_BENCH_DIR");
  return env && *env ? env : "/tmp/densora-bench";
}

std::string BenchProjectsDir() {
  static const std::string root = BenchDir() + "/projects";
  static const long files = MakeProjectsDirectory(root);
  (void)files;
  return root;
}

std::string BigFolderDir() {
  static const std::string root = [] {
    const std::string dir = BenchDir() + "/big-folder";
    const fs::path big = fs::path(dir) / "BIG";
    if (!fs::exists(big / "9999Sub.lng")) {
      fs::create_directories(big);
      CompactionRecord r;
      const auto bytes = LngBytes(r);
      for (int i = 0; i < 10000; ++i) {
        std::ofstream(big / (std::to_string(i) + "Sub.lng"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
      }
    }
    return dir;
  }();
  return root;
}

std::string FamilyFolderDir() {
  static const std::string root = [] {
    const std::string dir = BenchDir() + "/family-folder";
    const fs::path family = fs::path(dir) / "FAMILY";
    if (!fs::exists(family / "9999Sub.lng")) {
      fs::create_directories(family);
      CDensoraDoc doc;
      CompactionRecord& r = doc.m_record;
      r.m_strProject = "FAMILY";
      r.m_strCounty = "Adams";
      r.m_strStation = "12+50 RT";
      r.m_strDate = "05/09/2003";
      r.m_strTestType = "Subgrade";
      r.m_strTestedBy = "J. Ortiz";
      r.m_dMoldWeight = 4250;
      r.m_dMoldVolume = 1.0 / 30.0;
      r.m_ext.standard = "AASHTO T 99";
      r.m_ext.method = "A";
      for (int i = 0; i < 10000; ++i) {
        // Heavier soils compact denser at less water: the curves step along the spine.
        const double shift = (i % 100) / 100.0;
        const double moistures[5] = {8, 10, 12, 14, 16};
        const double densities[5] = {104, 108, 109.5, 107, 103};
        for (int k = 0; k < 5; ++k) {
          const double w = (moistures[k] + 6 * shift) / 100.0;
          const double dryPcf = densities[k] + 12 * (1 - shift);
          TestPoint& p = r.Point(k);
          p.m_dDrySample = 200.0;
          p.m_dWetSample = 200.0 * (1 + w);
          p.m_dMoldSoil = r.m_dMoldWeight + dryPcf * (1 + w) * r.m_dMoldVolume / kPoundsPerGram;
        }
        r.m_nPointCount = 5;
        r.m_strTestNo = std::to_string(i);
        const auto bytes = LngBytes(r);
        std::ofstream(family / (r.m_strTestNo + "Sub.lng"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
      }
    }
    return dir;
  }();
  return root;
}
