// A save never overwrites, without asking, a file someone else changed since this program
// read or wrote it.
#include <gtest/gtest.h>

#include <filesystem>

#include "file/lng_format.h"
#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "support/platform.h"
#include "support/records.h"
#include "support/scripted_prompt.h"

using framework::MsgAnswer;
using testdata::ReadBytes;
using testdata::WriteBytes;
using Bytes = std::vector<unsigned char>;

namespace {

enum class StampedBy { kSave, kOpen };
enum class Change { kNone, kSameSizeAndTime, kOtherSize, kRemoved };
enum class Target { kSamePath, kLinkToIt, kOtherFile };

// Rewrites the file with other bytes of the same length and puts its times back, as a
// copy that keeps times would, or a second write within one tick of the clock.
void RewriteKeepingSizeAndTime(const std::string& path) {
  const testdata::FileTime time = testdata::ModificationTime(path);
  Bytes bytes = ReadBytes(path);
  bytes.back() ^= 0x55;
  WriteBytes(path, bytes);
  testdata::SetModificationTime(path, time);
}

}  // namespace

TEST(ExternalChange, ASaveAsksBeforeOverwritingAFileChangedSinceItWasReadOrWritten) {
  struct Row {
    const char* name;
    StampedBy stampedBy;
    Change change;
    Target target;
    MsgAnswer answer;
    bool asked;
    bool written;
  };
  const Row rows[] = {
      {"untouched", StampedBy::kSave, Change::kNone, Target::kSamePath, MsgAnswer::Cancel, false,
       true},
      {"same size and time, No", StampedBy::kSave, Change::kSameSizeAndTime, Target::kSamePath,
       MsgAnswer::No, true, false},
      {"same size and time, Yes", StampedBy::kSave, Change::kSameSizeAndTime, Target::kSamePath,
       MsgAnswer::Yes, true, true},
      {"other size, No", StampedBy::kSave, Change::kOtherSize, Target::kSamePath, MsgAnswer::No,
       true, false},
      {"other size, Yes", StampedBy::kSave, Change::kOtherSize, Target::kSamePath, MsgAnswer::Yes,
       true, true},
      {"opened, other size", StampedBy::kOpen, Change::kOtherSize, Target::kSamePath, MsgAnswer::No,
       true, false},
      {"opened, untouched", StampedBy::kOpen, Change::kNone, Target::kSamePath, MsgAnswer::Cancel,
       false, true},
      {"through a link", StampedBy::kSave, Change::kOtherSize, Target::kLinkToIt, MsgAnswer::No,
       true, false},
      {"vanished", StampedBy::kSave, Change::kRemoved, Target::kSamePath, MsgAnswer::Cancel, false,
       true},
      {"another file", StampedBy::kSave, Change::kOtherSize, Target::kOtherFile, MsgAnswer::Cancel,
       false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.target == Target::kLinkToIt && testdata::Lacks(testdata::Need::kSymlink)) continue;
    testdata::TempDir dir;
    ScriptedPrompt prompt;
    CDensoraDoc doc;
    testdata::FillTypicalRecord(doc);
    // No document path is set: the stamp follows the file, so a record saved twice to its
    // derived path is checked on the second save too.
    const std::string path = dir / "7Sub.lng";
    if (row.stampedBy == StampedBy::kSave) {
      ASSERT_TRUE(doc.OnSaveDocument(path));
    } else {
      WriteBytes(path, LngBytes(doc.m_record));
      ASSERT_TRUE(doc.OnOpenDocument(path));
    }
    switch (row.change) {
      case Change::kNone:
        break;
      case Change::kSameSizeAndTime:
        RewriteKeepingSizeAndTime(path);
        break;
      case Change::kOtherSize: {
        Bytes bytes = ReadBytes(path);
        bytes.push_back(0);
        WriteBytes(path, bytes);
        break;
      }
      case Change::kRemoved:
        std::filesystem::remove(path);
        break;
    }
    std::string target = path;
    if (row.target == Target::kLinkToIt) {
      target = dir / "link.lng";
      std::filesystem::create_symlink(path, target);
    } else if (row.target == Target::kOtherFile) {
      target = dir / "8Sub.lng";
      WriteBytes(target, {1, 2, 3});
    }
    const Bytes before = std::filesystem::exists(target) ? ReadBytes(target) : Bytes{};
    doc.m_record.m_strComments = "edited here";
    doc.SetModifiedFlag(true);
    prompt.Plan({row.answer});

    EXPECT_EQ(doc.OnSaveDocument(target), row.written);
    if (row.asked) {
      ASSERT_EQ(prompt.shown.size(), 1u);
      EXPECT_EQ(prompt.shown[0].text,
                target + " was changed by another program since it was opened. Overwrite it?");
      EXPECT_EQ(prompt.shown[0].buttons, framework::MsgButtons::YesNo);
      EXPECT_EQ(prompt.shown[0].icon, framework::MsgIcon::Stop);
    } else {
      EXPECT_TRUE(prompt.shown.empty());
    }
    EXPECT_EQ(ReadBytes(target), row.written ? LngBytes(doc.m_record) : before);
    EXPECT_EQ(doc.IsModified(), !row.written);
  }
}
