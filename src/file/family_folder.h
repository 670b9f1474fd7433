#pragma once
// Families of curves as Densora finds them in the projects tree: the tests under a folder
// read and fitted once and kept by their files' stamps, so that a folder of thousands of
// tests is read again only where a file changed; and a one-point test's record evaluated
// against its family. What a family is and how a point is determined is in model/family.h.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/file_io.h"
#include "model/densora_doc.h"
#include "model/family.h"

// The tests of the folders scanned so far, each kept with the size and modification time
// its file had when it was read.
class FamilyCache {
 public:
  // Every compaction file under `folder`, in the projects tree's order (WalkProjectTree:
  // links followed, each folder entered once), each with its path below `folder` as the tree
  // shows it and what it gives a family. A file whose size and modification time are those
  // of its last reading is not read again; a file that is gone is forgotten. A file that
  // cannot be read, and a folder below whose entries cannot be read, come with the message
  // in their FittedTest's error. `progress`, when given, is called as each folder is entered
  // and after each file with the number of files done; when it returns false the scan ends
  // and nullopt is returned. Throws framework::CFileException when `folder` is missing, not
  // a folder or cannot be read.
  std::optional<std::vector<FolderTest>> Scan(
      const std::string& folder, const std::function<bool(std::size_t done)>& progress = {});

  // The files the last Scan read (the others it took from what it kept).
  std::size_t FilesRead() const { return m_filesRead; }

 private:
  struct Entry {
    framework::FileState state;
    std::shared_ptr<const FittedTest> fitted;
    unsigned long scan = 0;  // the last scan that met the file
  };
  std::shared_ptr<const FittedTest> Read(const std::string& path);

  std::unordered_map<std::string, Entry> m_entries;  // by the path as walked
  CDensoraDoc m_doc;                                 // each file is read and fitted in it
  unsigned long m_scans = 0;
  std::size_t m_filesRead = 0;
};

// The tests a user left out of a folder's family, kept in the folder itself (so that every
// computer of the laboratory and densora-cli see the same family): the file
// kFamilyChoiceFile, one path below the folder a line. None when the file is missing or
// cannot be read.
inline constexpr const char* kFamilyChoiceFile = ".densora-family";
std::set<std::string> ReadFamilyChoice(const std::string& folder);
// Keeps `unchecked` as the folder's choice, replacing the file whole; with nothing
// unchecked the file goes. A path that holds a line break cannot be kept in a line and is
// not written. Throws framework::CFileException when the file cannot be written.
void WriteFamilyChoice(const std::string& folder, const std::set<std::string>& unchecked);

// The family of `key` under `folder` (UTF-8, a path on disk), less the tests whose paths
// below the folder are in `unchecked`: FamilyCache::Scan then SelectFamily. Throws as Scan.
Family LoadFamily(FamilyCache& cache, const std::string& folder, const FamilyKey& key,
                  const std::set<std::string>& unchecked = {});

// A one-point test's record evaluated against its family.
struct OnePointEvaluation {
  // The family's folder as the record names it (UTF-8); empty for a record that is no
  // one-point test, for which nothing else is set.
  std::string familyName;
  // The family, when its folder was read and it is complete; null when it is not available,
  // in which case the record keeps its stored result.
  std::shared_ptr<const Family> family;
  // The determination (kNoPoint without a family).
  OnePointResult result;
  // The record's result as it now stands: determined, or stored (pcf and percent; 0 and 0
  // for none).
  double maxDryDensity = 0.0;
  double optimumMoisture = 0.0;
  // The members the result comes from (their paths below the family's folder): the one the
  // point lies on, or the neighbours below and above; empty without a determined result.
  std::vector<std::string> between;
  // "from the family MAIN ST/A-100, between tests ... and ..."; empty without a determined
  // result.
  std::string source;
  // The messages in the order they are shown: that the family is no longer available, the
  // number of points when not one, the refusal outside the family, the moisture warning.
  std::vector<std::string> checks;

  bool IsOnePointTest() const { return !familyName.empty(); }
};

// The complete family of the one-point test in `record` under `projectsDir`: the tests of
// the folder its family entry names, of the record's own standard and method, less
// the tests the folder's choice leaves out and `unchecked`. Null when the record is no one-point
// test, when the folder is gone, cannot be read or lies outside the projects directory, or when it
// no longer holds three curves.
std::shared_ptr<const Family> LoadOnePointFamily(const CompactionRecord& record,
                                                 const std::string& projectsDir, FamilyCache& cache,
                                                 const std::set<std::string>& unchecked = {});

// Evaluates the one-point test in `record` against `family` (null: not available). With a
// family, the point is determined and the record's one-point result entries are set to the
// result (0 and 0 when there is none); its fit's own fields are left as they are. Without
// one, the record keeps its stored result and the checks say the family is no longer
// available. A record that is no one-point test is left alone.
OnePointEvaluation EvaluateOnePoint(CompactionRecord& record, std::shared_ptr<const Family> family);

// Both: the evaluation of every opening of a one-point test.
OnePointEvaluation EvaluateOnePointTest(CompactionRecord& record, const std::string& projectsDir,
                                        FamilyCache& cache,
                                        const std::set<std::string>& unchecked = {});

// A name or text of a family (UTF-8) as a printed page writes it, in Windows-1252: a
// character the code page cannot hold prints as "?".
std::string PrintableText(const std::string& utf8);

// What a one-point test's report prints (Windows-1252, densities times `densityFactor` in
// `densityUnit`): the result, where it comes from, the checks, and the family with the names
// of its members (the first dozen, and how many more). Nothing for a record that is no
// one-point test.
std::vector<std::string> OnePointReportLines(const OnePointEvaluation& e, double densityFactor,
                                             const std::string& densityUnit);
