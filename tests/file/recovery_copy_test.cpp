// A recovery copy left behind: what a start says of one it cannot use, and where that copy
// goes.
#include "file/recovery_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "file/lng_format.h"
#include "model/messages.h"
#include "support/platform.h"
#include "support/records.h"
#include "support/scripted_prompt.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// A copy that cannot be read is named in its message and kept aside as *.unreadable, where
// no later start offers it again. One that a newer Densora wrote stays where it is for that
// program. The document is left as it was.
TEST(RecoveryCopy, ACopyThatCannotBeReadIsNamedAndKept) {
  testdata::TempDir tmp;
  const std::string copy = tmp / "unsaved-test.recovery";
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  const Bytes good = recovery::Encode(doc);
  const std::size_t header = good.size() - LngBytes(doc.m_record).size();
  Bytes badRecord(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(header));
  badRecord.insert(badRecord.end(), {0x2D, 0x77, 0, 0, 3, 'x', 'y', 'z'});
  Bytes newerRecord = good;
  newerRecord[header] = 0x2E;  // the file version after this program's
  const std::string tag = "Densora recovery copy";
  Bytes newerLayout = good;
  newerLayout[static_cast<std::size_t>(
      std::search(good.begin(), good.end(), tag.begin(), tag.end()) - good.begin() +
      static_cast<std::ptrdiff_t>(tag.size()))] = 2;
  const Bytes notACopy = {5, 'h', 'e', 'l', 'l', 'o', 1, 0, 0, 0};
  const std::string needsUpdate = msg::kNeedsUpdate;
  struct Row {
    const char* name;
    Bytes bytes;  // none: a pipe
    std::string message;
    bool newer = false;
  };
  for (const Row& row :
       {Row{"truncated", Bytes(good.begin(), good.end() - 20), "Unexpected file format."},
        Row{"not a compaction record", badRecord, msg::kNotCompactionFile},
        Row{"not a copy", notACopy, msg::kNotCompactionFile},
        Row{"a pipe", {}, copy + " is not a regular file."},
        Row{"a newer layout", newerLayout, needsUpdate, true},
        Row{"a record of a newer version", newerRecord, needsUpdate, true}}) {
    SCOPED_TRACE(row.name);
    if (row.bytes.empty() && testdata::Lacks(testdata::Need::kFifo)) continue;  // no pipe here
    fs::remove(copy);
    fs::remove(copy + ".unreadable");
    if (row.bytes.empty()) {
      ASSERT_TRUE(testdata::MakeFifo(copy));
    } else {
      testdata::WriteBytes(copy, row.bytes);
    }
    ScriptedPrompt prompt;
    CDensoraDoc started;
    EXPECT_EQ(recovery::OfferLeftCopy(copy, started),
              row.newer ? recovery::Offer::kNewer : recovery::Offer::kSetAside);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"The recovery copy " + copy +
                                                       " could not be read: " + row.message});
    EXPECT_EQ(started.GetTitle(), "Untitled");
    EXPECT_TRUE(started.m_record.m_strProject.empty());
    EXPECT_FALSE(started.IsModified());
    if (row.newer) {
      EXPECT_EQ(testdata::ReadBytes(copy), row.bytes);
      EXPECT_FALSE(fs::exists(copy + ".unreadable"));
    } else {
      EXPECT_FALSE(fs::exists(fs::symlink_status(copy)));
      if (row.bytes.empty()) {
        EXPECT_TRUE(fs::is_fifo(copy + ".unreadable"));
      } else {
        EXPECT_EQ(testdata::ReadBytes(copy + ".unreadable"), row.bytes);
      }
    }
  }
}
