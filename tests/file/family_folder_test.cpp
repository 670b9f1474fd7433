#include "file/family_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file/lng_format.h"
#include "file/project_tree.h"
#include "support/records.h"

namespace fs = std::filesystem;
using testdata::TempDir;

namespace {

// Writes a typical test at `path`, its points' dry densities raised by `lift` pcf.
void WriteTest(const std::string& path, double lift) {
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  CompactionRecord& r = doc.m_record;
  for (int slot = 0; slot < 5; ++slot) {
    TestPoint& p = r.Point(slot);
    testdata::SetPoint(r, slot, 100.0 * p.MoistureContent(), p.DryUnitWeight() + lift);
  }
  testdata::WriteBytes(path, LngBytes(r));
}

}  // namespace

// A second scan reads only the files that changed or came since the first, keeps what the
// others gave, and forgets the files that are gone; a file that cannot be read is there with
// its message.
TEST(FamilyCache, ScansAgainOnlyWhatChanged) {
  TempDir dir;
  fs::create_directories(dir.path() / "fam/sub");
  WriteTest(dir / "fam/a.lng", 0);
  WriteTest(dir / "fam/b.lng", 2);
  WriteTest(dir / "fam/sub/c.lng", 4);
  testdata::WriteBytes(dir / "fam/d.lng", {1, 2, 3});
  FamilyCache cache;
  const auto first = cache.Scan(dir / "fam/");
  ASSERT_TRUE(first);
  EXPECT_EQ(cache.FilesRead(), 4u);
  ASSERT_EQ(first->size(), 4u);
  EXPECT_EQ((*first)[3].file, "sub/c.lng");
  EXPECT_EQ((*first)[2].fitted->error, "Unexpected file format.");
  const Family family = SelectFamily(*first, KeyOf("", ""));
  ASSERT_TRUE(family.Complete());
  EXPECT_EQ(family.LeftOutLine(), "1 test left out: 1 could not be read");

  // b changes (another size), d is removed, e comes.
  WriteTest(dir / "fam/b.lng", 3);
  testdata::WriteBytes(dir / "fam/b.lng", [&] {
    auto bytes = testdata::ReadBytes(dir / "fam/b.lng");
    bytes.push_back(0);  // trailing bytes that are no block are ignored by the reader
    return bytes;
  }());
  fs::remove(dir / "fam/d.lng");
  WriteTest(dir / "fam/e.lng", 6);
  const auto second = cache.Scan(dir / "fam");
  ASSERT_TRUE(second);
  EXPECT_EQ(cache.FilesRead(), 2u);
  ASSERT_EQ(second->size(), 4u);
  EXPECT_EQ((*second)[3].fitted, (*first)[3].fitted);  // sub/c, as it was kept
  EXPECT_EQ((*second)[0].fitted, (*first)[0].fitted);  // a, as it was kept
  EXPECT_NE((*second)[1].fitted, (*first)[1].fitted);
  EXPECT_NEAR((*second)[1].fitted->maxDryDensity, (*first)[1].fitted->maxDryDensity + 1, 1e-6);
  EXPECT_EQ((*second)[2].file, "e.lng");

  // A scan asked to stop gives nothing; a folder that is not there is refused.
  EXPECT_FALSE(cache.Scan(dir / "fam", [](std::size_t done) { return done < 2; }));
  EXPECT_THROW(cache.Scan(dir / "gone"), framework::CFileException);
}

// A test the user leaves out of a folder's family stays out for every one-point test of that
// family until it is checked again.
TEST(FamilyChoice, LeavesATestOutOfTheFolderOnePointTestsUse) {
  TempDir dir;
  fs::copy(std::string(DENSORA_SAMPLES_DIR) + "/../family/projects", dir.path(),
           fs::copy_options::recursive);
  CDensoraDoc doc;
  ASSERT_EQ(ReadCompactionFile(dir / "one-point/21One.lng", doc.m_record), "");
  const auto evaluate = [&] {
    FamilyCache cache;
    return EvaluateOnePointTest(doc.m_record, dir.path().string(), cache);
  };
  ASSERT_EQ(evaluate().between, (std::vector<std::string>{"5Sub.lng", "7Sub.lng"}));

  // Without the curve below it, the point lies under the family.
  WriteFamilyChoice(dir / "curves", {"5Sub.lng", "8Emb.lng"});
  EXPECT_EQ(ReadFamilyChoice(dir / "curves"), (std::set<std::string>{"5Sub.lng", "8Emb.lng"}));
  const OnePointEvaluation without = evaluate();
  ASSERT_TRUE(without.family);
  EXPECT_EQ(without.family->members.size(), 3u);
  EXPECT_EQ(without.result.kind, OnePointResult::kOutside);

  WriteFamilyChoice(dir / "curves", {});
  EXPECT_FALSE(fs::exists(dir / (std::string("curves/") + kFamilyChoiceFile)));
  EXPECT_EQ(evaluate().between, (std::vector<std::string>{"5Sub.lng", "7Sub.lng"}));
}

// A one-point test's report names its family's members, and of a family larger than a page
// can list, the first dozen and how many more.
TEST(OnePointReport, NamesTheFirstDozenMembersAndCountsTheRest) {
  for (const std::size_t count : {std::size_t{3}, std::size_t{14}}) {
    Family family;
    family.key = KeyOf("", "");
    std::string names;
    for (std::size_t i = 1; i <= count; ++i) {
      family.members.push_back({"t" + std::to_string(i) + ".lng", std::make_shared<FittedTest>()});
      if (i <= 12) names += (i > 1 ? ", t" : "t") + std::to_string(i) + ".lng";
    }
    OnePointEvaluation e;
    e.familyName = "fam";
    e.family = std::make_shared<const Family>(family);
    const std::vector<std::string> lines = OnePointReportLines(e, 1.0, "pcf");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Family fam (AASHTO T 99, method unknown), " + std::to_string(count) +
                                " curves: " + names + (count > 12 ? " and 2 more" : ""));
  }
}
