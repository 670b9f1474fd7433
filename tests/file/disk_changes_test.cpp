// What another program (another technician's Densora on a shared folder) changes while this
// one shows it: the open folders listed again only when they changed, and the record on screen
// read again, left to Save or kept, each once, without a box on the screen.
#include "file/disk_changes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file/lng_format.h"
#include "model/messages.h"
#include "support/platform.h"
#include "support/records.h"
#include "support/scripted_prompt.h"

namespace fs = std::filesystem;
using testdata::ReadBytes;
using testdata::WriteBytes;
using Bytes = std::vector<unsigned char>;

namespace {

// Puts a file's or folder's modification time a day back: its stamp is then settled.
void AgeBy(const std::string& path, int seconds = 86400) {
  testdata::SetModificationTime(path,
                                testdata::ModificationTime(path) - std::chrono::seconds(seconds));
}

// Writes `bytes` over the file and gives it back its size and times, as a second save within
// one tick of a share's clock leaves them.
void RewriteKeepingSizeAndTime(const std::string& path, const Bytes& bytes) {
  const testdata::FileTime time = testdata::ModificationTime(path);
  ASSERT_EQ(bytes.size(), fs::file_size(path));
  WriteBytes(path, bytes);
  testdata::SetModificationTime(path, time);
}

}  // namespace

TEST(FolderStamps, AnOpenFolderIsListedAgainOnlyWhenItsEntriesChanged) {
  enum class Change { kNone, kAdded, kRemoved, kRenamed, kRewritten };
  struct Row {
    const char* name;
    Change change;
    bool settled;  // the folder's last change long before its stamp was taken
    bool stamped;
    bool listed;
  };
  const Row rows[] = {
      {"untouched", Change::kNone, true, true, false},
      {"a test added", Change::kAdded, true, true, true},
      {"a test removed", Change::kRemoved, true, true, true},
      {"a test renamed", Change::kRenamed, true, true, true},
      {"a test rewritten in place", Change::kRewritten, true, true, false},
      {"stamped within the clock's tick of a change", Change::kNone, false, true, true},
      {"never stamped", Change::kNone, true, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testdata::TempDir dir;
    const std::string folder = dir / "Subgrade";
    fs::create_directory(folder);
    WriteBytes(folder + "/7Sub.lng", {1});
    if (row.settled) AgeBy(folder);
    CFolderStamps stamps;
    if (row.stamped) stamps.Take(folder);
    switch (row.change) {
      case Change::kNone:
        break;
      case Change::kAdded:
        WriteBytes(folder + "/9Sub.lng", {1});
        break;
      case Change::kRemoved:
        fs::remove(folder + "/7Sub.lng");
        break;
      case Change::kRenamed:
        fs::rename(folder + "/7Sub.lng", folder + "/8Sub.lng");
        break;
      case Change::kRewritten:
        WriteBytes(folder + "/7Sub.lng", {1, 2, 3});
        break;
    }
    DiskLook look;
    look.folders = {{folder, {}}};
    look.Read();
    EXPECT_EQ(stamps.Changed(look.folders),
              row.listed ? std::vector<std::string>{folder} : std::vector<std::string>{});
  }
}

TEST(OpenRecordCheck, FollowsTheFileOfTheRecordOnScreenOncePerChange) {
  enum class Change { kNone, kRewritten, kSameSizeAndTime, kRefused, kRemoved };
  struct Row {
    const char* name;
    Change change;
    bool modified;  // the record edited on screen before the change
    bool hasPath;   // the record read from its file, not only saved there
    const char* note;
    bool readAgain;
  };
  const std::string unreadable = std::string(msg::kNotReadAgain) + msg::kNeedsUpdate;
  const Row rows[] = {
      {"untouched", Change::kNone, false, true, "", false},
      {"rewritten elsewhere", Change::kRewritten, false, true, msg::kReadAgain, true},
      {"rewritten in the same tick", Change::kSameSizeAndTime, false, true, msg::kReadAgain, true},
      {"rewritten while edited here", Change::kRewritten, true, true, "", false},
      {"replaced by a newer layout", Change::kRefused, false, true, unreadable.c_str(), false},
      {"removed", Change::kRemoved, false, true, msg::kNoLongerFound, false},
      {"removed while edited here", Change::kRemoved, true, true, msg::kNoLongerFound, false},
      {"a new record's file rewritten", Change::kRewritten, false, false, "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testdata::TempDir dir;
    ScriptedPrompt prompt;
    CDensoraDoc doc;
    testdata::FillTypicalRecord(doc);
    doc.m_record.m_strComments = "as read";
    const std::string path = dir / "7Sub.lng";
    CDensoraDoc theirs;
    testdata::FillTypicalRecord(theirs);
    theirs.m_record.m_strComments = "theirs!";  // as long as "as read"
    const Bytes theirBytes = LngBytes(theirs.m_record);
    WriteBytes(path, LngBytes(doc.m_record));
    // A file saved long ago, except where the other save comes within the same tick.
    if (row.change != Change::kSameSizeAndTime) AgeBy(path);
    if (row.hasPath) {
      ASSERT_TRUE(doc.OpenFile(path));
    } else {
      ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    COpenRecordCheck check(doc);
    EXPECT_EQ(check.Look(), "");
    if (row.modified) {
      doc.m_record.m_strComments = "edited here";
      doc.SetModifiedFlag(true);
    }
    const CompactionRecord before = doc.m_record;
    switch (row.change) {
      case Change::kNone:
        break;
      case Change::kRewritten:
        WriteBytes(path, theirBytes);
        break;
      case Change::kSameSizeAndTime:
        RewriteKeepingSizeAndTime(path, theirBytes);
        break;
      case Change::kRefused:
        WriteBytes(path, Bytes(300, 'x'));
        break;
      case Change::kRemoved:
        fs::remove(path);
        break;
    }

    EXPECT_EQ(check.Look(), framework::FormatStock(row.note, "7Sub.lng"));
    EXPECT_EQ(check.Look(), "");  // each change is dealt with once
    EXPECT_TRUE(prompt.shown.empty()) << prompt.shown.front().text;
    EXPECT_EQ(doc.m_record.m_strComments, row.readAgain ? "theirs!" : before.m_strComments);
    EXPECT_EQ(doc.IsModified(), row.modified);
    EXPECT_EQ(doc.GetPathName(), row.hasPath ? path : "");
    // Whatever the look did, a Save of an edit made here asks before it replaces a change
    // made elsewhere that was not read.
    if (row.change != Change::kNone && row.change != Change::kRemoved && !row.readAgain) {
      EXPECT_TRUE(doc.Stamp().ChangedOnDisk());
    }
  }
}
