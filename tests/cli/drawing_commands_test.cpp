// densora-cli report and chart, run as a user runs them: on the sample projects, without a
// display, writing a PDF and a PNG that are checked from their bytes; and how every command
// that writes an output (write, chart, report) treats the path it writes to.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/platform.h"

namespace {

namespace fs = std::filesystem;

const std::string kSubgrade = std::string(DENSORA_SAMPLES_DIR) + "/MAIN ST/A-100/Subgrade/7Sub.lng";
const std::string kEmbankment =
    std::string(DENSORA_SAMPLES_DIR) + "/MAIN ST/A-100/Embankment/3Emb.lng";
const std::string kLime = std::string(DENSORA_SAMPLES_DIR) + "/COUNTY RD 9/Lime/12Lim.lng";

// Runs the tool with no display and no platform chosen, so it must pick one itself.
int RunCli(const std::vector<std::string>& args) { return testdata::RunCliProgram(args).code; }

// Runs the tool as RunCli does, without XDG_RUNTIME_DIR, and gives what it wrote to stderr.
std::string CliStderr(const std::vector<std::string>& args) {
  return testdata::RunCliProgram(args, {.outToNull = true, .withoutRuntimeDir = true}).err;
}

struct Outcome {
  int code;
  std::string err;
};

// Runs the tool as RunCli does, with stdout on the null device, and gives its exit code and
// its stderr. A tool that blocks is ended after half a minute.
Outcome RunTool(const std::vector<std::string>& args, bool noFileFits = false) {
  testdata::RunOptions options;
  options.outToNull = true;
  options.noFileFits = noFileFits;
  const testdata::ProgramRun r = testdata::RunCliProgram(args, options);
  return {r.code, r.err};
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Page objects (not the page tree) and the page boxes of a PDF.
int PdfPages(const std::string& pdf) {
  const std::regex page(R"(/Type\s*/Page(?![s\w]))");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

std::vector<std::string> PdfMediaBoxes(const std::string& pdf) {
  const std::regex box(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])");
  std::vector<std::string> out;
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator();
       ++it) {
    out.push_back(std::to_string(std::lround(std::stod((*it)[1]))) + "x" +
                  std::to_string(std::lround(std::stod((*it)[2]))));
  }
  return out;
}

// The width and height in a PNG's header chunk.
bool PngSize(const std::string& png, std::uint32_t& w, std::uint32_t& h) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      png.compare(12, 4, "IHDR") != 0) {
    return false;
  }
  auto be = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(png[at + i]);
    return v;
  };
  w = be(16);
  h = be(20);
  return true;
}

struct DrawingCommands : ::testing::Test {
  fs::path dir;
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("densora-drawing-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(DrawingCommands, ReportIsOneLetterPagePerFile) {
  const fs::path one = dir / "one.pdf";
  ASSERT_EQ(RunCli({"report", kSubgrade, "-o", one.string()}), 0);
  const std::string pdf = ReadAll(one);
  ASSERT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
  EXPECT_EQ(PdfPages(pdf), 1);
  EXPECT_EQ(PdfMediaBoxes(pdf), (std::vector<std::string>{"612x792"}));  // 8.5 × 11 in

  const fs::path three = dir / "three.pdf";
  ASSERT_EQ(RunCli({"report", kSubgrade, kEmbankment, kLime, "-o", three.string(), "--metric"}), 0);
  const std::string pdf3 = ReadAll(three);
  EXPECT_EQ(PdfPages(pdf3), 3);
  EXPECT_EQ(PdfMediaBoxes(pdf3), (std::vector<std::string>(3, "612x792")));
}

TEST_F(DrawingCommands, ReportSkipsAFileThatCannotBeReadAndSaysSo) {
  const fs::path out = dir / "r.pdf";
  EXPECT_EQ(RunCli({"report", kSubgrade, (dir / "missing.lng").string(), "-o", out.string()}), 1);
  EXPECT_EQ(PdfPages(ReadAll(out)), 1);
  const fs::path none = dir / "none.pdf";
  EXPECT_EQ(RunCli({"report", (dir / "missing.lng").string(), "-o", none.string()}), 1);
  EXPECT_FALSE(fs::exists(none));
}

TEST_F(DrawingCommands, ChartIsAPngOfTheAskedSize) {
  const fs::path png = dir / "c.png";
  ASSERT_EQ(RunCli({"chart", kSubgrade, "-o", png.string()}), 0);
  std::uint32_t w = 0, h = 0;
  ASSERT_TRUE(PngSize(ReadAll(png), w, h));
  EXPECT_EQ(w, 474u);
  EXPECT_EQ(h, 312u);

  const fs::path big = dir / "big.png";
  ASSERT_EQ(RunCli({"chart", kLime, "--metric", "--size", "948x624", "-o", big.string()}), 0);
  ASSERT_TRUE(PngSize(ReadAll(big), w, h));
  EXPECT_EQ(w, 948u);
  EXPECT_EQ(h, 624u);
}

TEST_F(DrawingCommands, DrawingWithoutARuntimeFolderKeepsStderrForTheToolsOwnMessages) {
  // (A debug build of Qt may add notes of its own at exit; the runtime-folder one never shows.)
  const std::string chartErr = CliStderr({"chart", kSubgrade, "-o", (dir / "c.png").string()});
  EXPECT_EQ(chartErr.find("XDG_RUNTIME_DIR"), std::string::npos) << chartErr;
  const std::string err =
      CliStderr({"report", (dir / "missing.lng").string(), "-o", (dir / "r.pdf").string()});
  EXPECT_NE(err.find("missing.lng"), std::string::npos);
  EXPECT_EQ(err.find("XDG_RUNTIME_DIR"), std::string::npos);
}

TEST_F(DrawingCommands, BadUsageIsRefused) {
  const fs::path png = dir / "c.png";
  EXPECT_EQ(RunCli({"chart", kSubgrade}), 2);
  EXPECT_EQ(RunCli({"chart", kSubgrade, kLime, "-o", png.string()}), 2);
  EXPECT_EQ(RunCli({"chart", kSubgrade, "--size", "0x10", "-o", png.string()}), 2);
  EXPECT_EQ(RunCli({"chart", kSubgrade, "--size", "wide", "-o", png.string()}), 2);
  EXPECT_EQ(RunCli({"report", kSubgrade}), 2);
  EXPECT_EQ(RunCli({"report", "-o", (dir / "r.pdf").string()}), 2);
  EXPECT_EQ(RunCli({"report", kSubgrade, "--size", "1x1", "-o", (dir / "r.pdf").string()}), 2);
  EXPECT_EQ(RunCli({"chart", (dir / "missing.lng").string(), "-o", png.string()}), 1);
  EXPECT_FALSE(fs::exists(png));
}

TEST_F(DrawingCommands, AnInputThatIsRefusedIsNamedInItsMessage) {
  const fs::path bad = dir / "bad.lng";
  std::ofstream(bad, std::ios::binary) << std::string("\x2D\x77\0\0\x03LNG", 8);  // not "lng"
  const std::string out = (dir / "out").string();
  const std::vector<std::vector<std::string>> runs = {
      {"chart", bad.string(), "-o", out}, {"report", kSubgrade, bad.string(), "-o", out}};
  for (const auto& args : runs) {
    SCOPED_TRACE(args[0]);
    const Outcome r = RunTool(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(bad.string() + ": The file is not a valid compaction file"),
              std::string::npos)
        << r.err;
  }
}

// The commands that write an output, each run on an input that it accepts.
struct OutputCommands : DrawingCommands {
  void SetUp() override {
    DrawingCommands::SetUp();
    std::ofstream(dir / "r.json") << R"({"project": "X"})";
  }
  std::vector<std::vector<std::string>> Writing(const fs::path& out) const {
    return {{"write", (dir / "r.json").string(), "-o", out.string()},
            {"chart", kSubgrade, "-o", out.string()},
            {"report", kSubgrade, "-o", out.string()}};
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(OutputCommands, AFailedWriteKeepsThePreviousOutputAndLeavesNoTemporaryFile) {
  if (const char* why = testdata::Lacks(testdata::Need::kFileSizeLimit)) GTEST_SKIP() << why;
  const fs::path out = dir / "out";
  for (const auto& args : Writing(out)) {
    SCOPED_TRACE(args[0]);
    std::ofstream(out) << "the previous output";
    const Outcome r = RunTool(args, true);  // no byte fits, as on a full disk
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("Disk full while accessing " + out.string() + "."), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadAll(out), "the previous output");
    EXPECT_EQ(Names(), (std::set<std::string>{"out", "r.json"}));
  }
}

TEST_F(OutputCommands, AnOutputThatIsNotARegularFileIsRefusedAndLeftAlone) {
  if (const char* why = testdata::Lacks(testdata::Need::kFifo)) GTEST_SKIP() << why;
  const fs::path out = dir / "out";
  // A named pipe; links to a device and to the tool's own stdout (/dev/null here).
  for (const std::string target : {"", "/dev/null", "/proc/self/fd/1"}) {
    for (const auto& args : Writing(out)) {
      SCOPED_TRACE(args[0] + " onto " + (target.empty() ? "a pipe" : target));
      if (target.empty()) {
        ASSERT_TRUE(testdata::MakeFifo(out.string()));
      } else {
        fs::create_symlink(target, out);
      }
      const Outcome r = RunTool(args);
      EXPECT_EQ(r.code, 1) << r.err;
      EXPECT_NE(r.err.find(out.string() + " is not a regular file."), std::string::npos) << r.err;
      if (target.empty()) {
        EXPECT_TRUE(fs::is_fifo(fs::symlink_status(out)));
      } else {
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(out)));
        EXPECT_EQ(fs::read_symlink(out), target);
      }
      EXPECT_EQ(Names(), (std::set<std::string>{"out", "r.json"}));
      fs::remove(out);
    }
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(OutputCommands, AnOutputNameThatIsNotUtf8IsWrittenUnderItsOwnBytes) {
  if (const char* why = testdata::Lacks(testdata::Need::kByteNames)) GTEST_SKIP() << why;
  const fs::path out = dir / "out\xFF";
  for (const auto& args : Writing(out)) {
    SCOPED_TRACE(args[0]);
    const Outcome r = RunTool(args);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Names(), (std::set<std::string>{"out\xFF", "r.json"}));
    fs::remove(out);
  }
}

}  // namespace
