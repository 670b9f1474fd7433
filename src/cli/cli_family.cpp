// densora-cli family: the family of curves under a folder of the projects directory, its
// members, its spine and the tests left out, as text or JSON, and its chart.
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_commands.h"
#include "file/family_folder.h"
#include "framework/file_io.h"
#include "framework/text_format.h"
#include "model/densora_doc.h"

namespace cli {
namespace {

using nlohmann::json;

constexpr CommandInfo kFamily{.name = "family",
                              .bit = kFamilyCommand,
                              .input = "DIR",
                              .noInput = "no folder given",
                              .extraInput = "only one folder makes a family"};

// The folder DIR names: below the projects directory, as a one-point test names its family,
// or itself when it is an absolute path.
std::string FamilyFolder(const std::string& dir, const Arguments& args) {
  if (framework::IsRootedPath(dir)) return dir;
  return ProjectsDirectory(args) + '/' + dir;
}

json Number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

// The family as `family --json` prints it: unit weights times `factor`.
json FamilyJson(const Family& family, const std::string& dir, double factor, bool metric) {
  json members = json::array();
  for (const FolderTest& m : family.members) {
    const FittedTest& f = *m.fitted;
    members.push_back({{"file", m.file},
                       {"project", f.project},
                       {"county", f.county},
                       {"testType", f.testType},
                       {"testNo", f.testNo},
                       {"date", f.date},
                       {"standard", f.standard},
                       {"method", f.method},
                       {"maxDryDensity", Number(f.maxDryDensity * factor)},
                       {"optimumMoisture", Number(f.optimumMoisture)}});
  }
  json spine = nullptr;
  if (family.spine) {
    const Spine& s = *family.spine;
    spine = {
        {"coefficients", {Number(s.c0 * factor), Number(s.c1 * factor), Number(s.c2 * factor)}},
        {"moistureFrom", Number(s.moistureFrom)},
        {"moistureTo", Number(s.moistureTo)}};
  }
  json leftOut = json::array();
  for (const LeftOutTest& t : family.leftOut) {
    leftOut.push_back({{"file", t.file}, {"reason", LeftOutText(t.reason)}});
  }
  return {{"family", dir},
          {"standard", family.key.standard},
          {"method", family.key.method},
          {"units", metric ? "Metric" : "English"},
          {"members", members},
          {"spine", spine},
          {"leftOut", leftOut},
          {"leftOutLine", family.LeftOutLine()},
          {"message", family.Shortage()}};
}

// "123.5556 + 0.5556·w − 0.1111·w²".
std::string SpineFormula(const Spine& s, double factor) {
  std::string text = framework::StrFormat("%.4f", s.c0 * factor);
  const auto term = [&](double c, const char* power) {
    text += framework::StrFormat(c < 0 ? " \xE2\x88\x92 %.4f\xC2\xB7w%s" : " + %.4f\xC2\xB7w%s",
                                 std::fabs(c * factor), power);
  };
  term(s.c1, "");
  term(s.c2, "\xC2\xB2");
  return text;
}

void PrintFamily(std::ostream& out, const Family& family, const std::string& dir, double factor,
                 const char* unit) {
  out << "Family:      " << dir << '\n'
      << "Standard:    " << family.key.Title() << '\n'
      << "Members:     " << family.members.size() << '\n';
  if (!family.members.empty()) {
    out << framework::StrFormat("  %13s  %7s  File\n", (std::string("MDD (") + unit + ")").c_str(),
                                "OMC (%)");
  }
  for (const FolderTest& m : family.members) {
    out << "  "
        << framework::StrFormat(
               "%13s  %7s  ",
               framework::FormatFinite("%.1f", m.fitted->maxDryDensity * factor).c_str(),
               framework::FormatFinite("%.1f", m.fitted->optimumMoisture).c_str())
        << m.file << '\n';
  }
  if (family.spine) {
    out << "Spine:       dry unit weight = " << SpineFormula(*family.spine, factor) << ' ' << unit
        << framework::StrFormat(", moisture %.1f to %.1f %%\n", family.spine->moistureFrom,
                                family.spine->moistureTo);
  }
  if (!family.leftOut.empty()) {
    out << "Left out:    " << family.LeftOutLine() << '\n';
    for (const LeftOutTest& t : family.leftOut) {
      out << "             " << t.file << ": " << LeftOutText(t.reason) << '\n';
    }
  }
}

int FamilyCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
  Arguments args;
  if (ParseArguments(kFamily, argv, args, err) != kExitOk) return kExitUsage;
  const std::string& dir = args.inputs[0];
  if (!args.chart.empty() && !GetFamilyChartWriter()) {
    err << "densora-cli family: --chart needs the drawing commands, which this build lacks\n";
    return kExitUsage;
  }
  FamilyCache cache;
  std::vector<FolderTest> tests;
  try {
    tests = *cache.Scan(FamilyFolder(dir, args));
  } catch (const framework::CFileException& e) {
    err << e.ErrorText() << '\n';
    return kExitFileFailed;
  }
  std::optional<std::string> standard, method;
  if (!args.standard.empty()) standard = args.standard;
  if (!args.method.empty()) method = args.method == "unknown" ? "" : args.method;
  const Family family = SelectFamily(tests, MostSharedKey(tests, standard, method));

  CDensoraDoc units;  // the unit tables
  units.m_nUnits = args.Units();
  const double factor = units.DensityFactor();
  if (args.json) {
    out << Dump(FamilyJson(family, dir, factor, args.metric)) << '\n';
  } else {
    PrintFamily(out, family, dir, factor, args.metric ? "kg/m\xC2\xB3" : "pcf");
  }
  int rc = kExitOk;
  if (!args.chart.empty()) rc = GetFamilyChartWriter()(family, args.Units(), args.chart, err);
  if (!family.Complete()) {
    err << framework::ShownPath(dir) << ": " << family.Shortage() << '\n';
    return kExitFileFailed;
  }
  return rc;
}

}  // namespace

void RegisterFamily() { RegisterCommand(kFamily, FamilyCommand); }

}  // namespace cli
