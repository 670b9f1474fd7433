#include "file/family_folder.h"

#include <utility>

#include "file/project_tree.h"
#include "framework/codepage.h"
#include "framework/prompt.h"
#include "framework/text_format.h"
#include "model/messages.h"

std::shared_ptr<const FittedTest> FamilyCache::Read(const std::string& path) {
  ++m_filesRead;
  const std::string message = ReadCompactionFile(path, m_doc.m_record);
  if (!message.empty()) {
    auto unread = std::make_shared<FittedTest>();
    // The message names the path as the file system has it, which may not be UTF-8.
    unread->error = framework::Utf8ForDisplay(message);
    return unread;
  }
  return std::make_shared<const FittedTest>(FitForFamily(m_doc));
}

std::optional<std::vector<FolderTest>> FamilyCache::Scan(
    const std::string& folder, const std::function<bool(std::size_t done)>& progress) {
  // "projects/" names the same folder as "projects", and its files are kept by one path.
  std::string root = folder;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  framework::CheckFolder(root);
  ++m_scans;
  m_filesRead = 0;
  std::vector<FolderTest> tests;
  std::size_t done = 0;
  const auto take = [&](const std::string& path) {
    const std::optional<framework::FileState> state = framework::StateOf(path);
    const auto kept = m_entries.find(path);
    if (state && kept != m_entries.end() && kept->second.state == *state) {
      kept->second.scan = m_scans;
      return kept->second.fitted;
    }
    std::shared_ptr<const FittedTest> fitted = Read(path);
    if (state) m_entries[path] = Entry{*state, fitted, m_scans};
    return fitted;
  };
  const bool finished = WalkProjectTree(root, [&](const ProjectStep& step) {
    if (step.kind == ProjectStep::kUnreadableFolder) {
      auto unread = std::make_shared<FittedTest>();
      unread->error = framework::Utf8ForDisplay(step.error);
      tests.push_back({step.shown, std::move(unread)});
      return true;
    }
    if (step.kind == ProjectStep::kFile) {
      tests.push_back({step.shown, take(step.path)});
      ++done;
    }
    return !progress || progress(done);
  });
  if (!finished) return std::nullopt;
  // A file below the folder that was not met is gone.
  const std::string below = root + '/';
  std::erase_if(m_entries, [&](const auto& kept) {
    return kept.second.scan != m_scans && kept.first.compare(0, below.size(), below) == 0;
  });
  return tests;
}

namespace {
// A choice is a few hundred paths at most; a larger file is no choice of Densora's.
constexpr std::size_t kMaxChoiceBytes = 4u << 20;
}  // namespace

std::set<std::string> ReadFamilyChoice(const std::string& folder) {
  std::set<std::string> unchecked;
  try {
    const std::vector<unsigned char> bytes =
        framework::ReadWholeFile(folder + '/' + kFamilyChoiceFile, kMaxChoiceBytes);
    std::string line;
    for (const unsigned char c : bytes) {
      if (c != '\n') {
        line += static_cast<char>(c);
      } else if (!line.empty()) {
        unchecked.insert(std::exchange(line, {}));
      }
    }
    if (!line.empty()) unchecked.insert(line);
  } catch (const framework::CFileException&) {
    // No choice kept, or none that can be read: every test is in.
  }
  return unchecked;
}

void WriteFamilyChoice(const std::string& folder, const std::set<std::string>& unchecked) {
  const std::string path = folder + '/' + kFamilyChoiceFile;
  std::vector<unsigned char> bytes;
  for (const std::string& file : unchecked) {
    if (file.empty() || file.find('\n') != std::string::npos) continue;
    bytes.insert(bytes.end(), file.begin(), file.end());
    bytes.push_back('\n');
  }
  if (bytes.empty()) {
    if (framework::KindAt(path) != framework::EntryKind::kNothing) framework::RemoveFile(path);
    return;
  }
  framework::WriteFileAtomically(path, bytes);
}

Family LoadFamily(FamilyCache& cache, const std::string& folder, const FamilyKey& key,
                  const std::set<std::string>& unchecked) {
  std::optional<std::vector<FolderTest>> tests = cache.Scan(folder);
  return SelectFamily(tests ? *tests : std::vector<FolderTest>(), key, unchecked);
}

std::shared_ptr<const Family> LoadOnePointFamily(const CompactionRecord& record,
                                                 const std::string& projectsDir, FamilyCache& cache,
                                                 const std::set<std::string>& unchecked) {
  using framework::Cp1252ToUtf8;
  const LabExtension& x = record.m_ext;
  // A family named outside the projects directory is none of this laboratory's.
  if (x.onePointFamily.empty() || !FamilyProblem(x, x.onePointFamily).empty()) return nullptr;
  try {
    const std::string folder = projectsDir + '/' + Cp1252ToUtf8(x.onePointFamily);
    std::set<std::string> out = ReadFamilyChoice(folder);
    out.insert(unchecked.begin(), unchecked.end());
    auto family = std::make_shared<const Family>(
        LoadFamily(cache, folder, KeyOf(Cp1252ToUtf8(x.standard), Cp1252ToUtf8(x.method)), out));
    if (family->Complete()) return family;
  } catch (const framework::CFileException&) {
    // The folder is gone or cannot be read.
  }
  return nullptr;
}

OnePointEvaluation EvaluateOnePoint(CompactionRecord& record,
                                    std::shared_ptr<const Family> family) {
  OnePointEvaluation e;
  LabExtension& x = record.m_ext;
  if (x.onePointFamily.empty()) return e;
  e.familyName = framework::Cp1252ToUtf8(x.onePointFamily);
  e.family = std::move(family);
  if (!e.family) {
    e.checks.push_back(framework::FormatStock(msg::kFamilyGone, e.familyName));
    e.maxDryDensity = x.onePointMaxDryDensity;
    e.optimumMoisture = x.onePointOptimumMoisture;
    return e;
  }
  const std::vector<const TestPoint*> present = record.GatherPresentPoints();
  if (present.size() == 1) {
    const TestPoint& p = *present.front();
    e.result = DetermineOnePoint(*e.family, 100.0 * p.MoistureContent(), p.DryUnitWeight());
  } else if (present.size() > 1) {
    e.checks.push_back(framework::StrFormat(msg::kOnePointCount, static_cast<int>(present.size())));
  }
  x.onePointMaxDryDensity = e.maxDryDensity = e.result.maxDryDensity;
  x.onePointOptimumMoisture = e.optimumMoisture = e.result.optimumMoisture;
  for (const std::size_t i : e.result.tests) e.between.push_back(e.family->members[i].file);
  e.source = OnePointSource(e.familyName, *e.family, e.result);
  e.checks.insert(e.checks.end(), e.result.checks.begin(), e.result.checks.end());
  return e;
}

OnePointEvaluation EvaluateOnePointTest(CompactionRecord& record, const std::string& projectsDir,
                                        FamilyCache& cache,
                                        const std::set<std::string>& unchecked) {
  if (record.m_ext.onePointFamily.empty()) return {};
  return EvaluateOnePoint(record, LoadOnePointFamily(record, projectsDir, cache, unchecked));
}

std::string PrintableText(const std::string& utf8) {
  std::string out;
  if (framework::Utf8ToCp1252(utf8, out)) return out;
  out.clear();
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else if (byte >= 0xC0) {
      out += '?';  // one mark for each character the code page cannot hold
    }
  }
  return out;
}

std::vector<std::string> OnePointReportLines(const OnePointEvaluation& e, double densityFactor,
                                             const std::string& densityUnit) {
  std::vector<std::string> lines;
  if (!e.IsOnePointTest()) return lines;
  const auto cp1252 = PrintableText;
  lines.push_back(e.maxDryDensity != 0.0
                      ? "One-Point Result: Maximum Dry Density = " +
                            framework::FormatFinite("%.1f", e.maxDryDensity * densityFactor) + ' ' +
                            densityUnit + ", Optimum Moisture = " +
                            framework::FormatFinite("%.1f", e.optimumMoisture) + " %"
                      : std::string("One-Point Result: none"));
  if (!e.source.empty()) lines.push_back(cp1252(e.source));
  for (const std::string& check : e.checks) lines.push_back(cp1252(check));
  if (e.family) {
    // A page holds the names of a family of a dozen tests; of a larger one, the first and
    // how many more.
    constexpr std::size_t kNamed = 12;
    const std::size_t count = e.family->members.size();
    std::string members;
    for (std::size_t i = 0; i < count && i < kNamed; ++i) {
      members += (members.empty() ? "" : ", ") + e.family->members[i].file;
    }
    if (count > kNamed) members += " and " + std::to_string(count - kNamed) + " more";
    lines.push_back(cp1252("Family " + e.familyName + " (" + e.family->key.Title() + "), " +
                           std::to_string(e.family->members.size()) + " curves: " + members));
  }
  return lines;
}
