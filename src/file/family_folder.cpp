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
    auto family = std::make_shared<const Family>(
        LoadFamily(cache, projectsDir + '/' + Cp1252ToUtf8(x.onePointFamily),
                   KeyOf(Cp1252ToUtf8(x.standard), Cp1252ToUtf8(x.method)), unchecked));
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
