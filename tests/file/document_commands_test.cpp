#include "file/document_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "file/lng_format.h"
#include "framework/file_io.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/messages.h"
#include "model/page_rules.h"
#include "support/fake_command_host.h"
#include "support/platform.h"
#include "support/records.h"
#include "support/scripted_prompt.h"

namespace fs = std::filesystem;
using framework::MsgAnswer;
using framework::MsgButtons;
using framework::MsgIcon;
using testdata::TempDir;

namespace {

// A message as a person reads it: its paths with the system's own separator. The messages
// compared here have no "/" but between the names of a path.
std::string Shown(const std::string& text) { return framework::ShownPath(text); }
std::vector<std::string> Shown(std::vector<std::string> texts) {
  for (std::string& text : texts) text = framework::ShownPath(text);
  return texts;
}

// Tree items as the tree makes them: entry names from the top level down.
TreeItem FileItem(std::vector<std::string> names) { return {std::move(names), false, false}; }
TreeItem FolderItem(std::vector<std::string> names, bool hasChildren = true) {
  return {std::move(names), true, hasChildren};
}

struct HintView : framework::CView {
  void OnUpdate(framework::CView*, long hint) override { hints.push_back(hint); }
  std::vector<long> hints;
};

pages::CalendarDay FixedToday() { return {2026, 3, 14}; }

class Commands : public ::testing::Test {
 protected:
  Commands() : root(dir.path().string() + "/projects"), curve(doc), cmds(doc, curve, root, host) {
    fs::create_directory(root);
    doc.AddView(&view);
    g_bTreeStartup = false;
    pages::SetClock(&FixedToday);
  }
  ~Commands() override { pages::SetClock(nullptr); }

  void FillComplete() {
    testdata::FillTypicalRecord(doc);
    doc.SetModifiedFlag(true);
  }
  void FillPartly() {
    doc.m_record.m_strProject = "MAIN ST";
    doc.SetModifiedFlag(true);
  }
  std::string Derived() const { return root + "/MAIN ST/A-100/Subgrade/7Sub.lng"; }
  std::vector<unsigned char> Bytes() { return LngBytes(doc.m_record); }

  TempDir dir;
  std::string root;
  CDensoraDoc doc;
  CDensityCurve curve;
  FakeCommandHost host;
  CDocumentCommands cmds;
  ScriptedPrompt prompt;
  HintView view;
};

}  // namespace

TEST_F(Commands, DefaultPathFollowsTheFields) {
  FillComplete();
  EXPECT_EQ(cmds.BuildDefaultPath(), Derived());
  doc.m_record.m_strTipNo.clear();
  EXPECT_EQ(cmds.BuildDefaultPath(), root + "/MAIN ST/Subgrade/7Sub.lng");
  doc.m_record.m_strTipNo = "   ";
  EXPECT_EQ(cmds.BuildDefaultPath(), root + "/MAIN ST/Subgrade/7Sub.lng");
  EXPECT_TRUE(doc.m_record.m_strTipNo.empty());
  doc.m_record.m_strTipNo = " A 1";  // kept as entered
  doc.m_record.m_strTestType = "Curve (no long test)";
  doc.m_record.m_strProject = "Caf\xE9";
  EXPECT_EQ(cmds.BuildDefaultPath(), root + "/Caf\xC3\xA9/ A 1/Curve (no long test)/7Cur.lng");
  doc.m_record.m_strTestType = "Li";
  EXPECT_EQ(cmds.BuildDefaultPath(), root + "/Caf\xC3\xA9/ A 1/Li/7Li.lng");
}

TEST_F(Commands, SaveOfANewRecordCreatesItsFoldersAndRebuildsTheTree) {
  FillComplete();
  cmds.OnFileSave();
  EXPECT_TRUE(prompt.shown.empty());
  ASSERT_TRUE(fs::is_regular_file(Derived()));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(doc.GetPathName().empty());  // every Save derives the path again
  EXPECT_EQ(view.hints, std::vector<long>{0});

  // A changed Test No. writes a second file beside the first.
  doc.m_record.m_strTestNo = "8";
  cmds.OnFileSave();
  EXPECT_TRUE(fs::is_regular_file(root + "/MAIN ST/A-100/Subgrade/8Sub.lng"));
  EXPECT_TRUE(fs::is_regular_file(Derived()));

  // Save writes even an unmodified record.
  fs::remove(root + "/MAIN ST/A-100/Subgrade/8Sub.lng");
  cmds.OnFileSave();
  EXPECT_TRUE(fs::is_regular_file(root + "/MAIN ST/A-100/Subgrade/8Sub.lng"));

  // A T.I.P. No. of blanks makes no folder of blanks: the file goes under the Project.
  doc.m_record.m_strTipNo = "   ";
  cmds.OnFileSave();
  EXPECT_TRUE(fs::is_regular_file(root + "/MAIN ST/Subgrade/8Sub.lng"));
  EXPECT_FALSE(fs::exists(root + "/MAIN ST/   "));
  EXPECT_TRUE(doc.m_record.m_strTipNo.empty());
}

TEST_F(Commands, EverySaveStoresPoundsPerCubicFoot) {
  FillComplete();
  doc.m_nUnits = kMetric;
  cmds.OnFileSave();
  CDensoraDoc reread;
  ASSERT_TRUE(reread.OnOpenDocument(Derived()));
  EXPECT_NEAR(reread.m_record.m_dMaxDryDensity, 111.529, 1e-3);
  // In memory the value stays in the unit on screen.
  EXPECT_NEAR(doc.m_record.m_dMaxDryDensity, 111.529 * kMetricDensityFactor, 0.02);

  // So does Save to a document path.
  doc.SetPathName(dir / "elsewhere.lng");
  cmds.OnFileSave();
  CDensoraDoc again;
  ASSERT_TRUE(again.OnOpenDocument(dir / "elsewhere.lng"));
  EXPECT_NEAR(again.m_record.m_dMaxDryDensity, 111.529, 1e-3);
  EXPECT_EQ(doc.GetPathName(), dir / "elsewhere.lng");
}

TEST_F(Commands, SaveReportsWhatStopsIt) {
  FillPartly();
  cmds.OnFileSave();
  FillComplete();
  fs::remove_all(root);  // the projects directory is gone: its project folder cannot be made
  cmds.OnFileSave();
  fs::create_directory(root);
  testdata::WriteBytes(root + "/MAIN ST", {1});  // a file where the project folder goes
  cmds.OnFileSave();
  EXPECT_EQ(prompt.Texts(), Shown(std::vector<std::string>{
                                "File cannot be saved: one or more required fields missing",
                                "Could not create " + root + "/MAIN ST",
                                "Could not change to directory " + root + "/MAIN ST"}));
  for (const auto& m : prompt.shown) {
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_EQ(m.icon, MsgIcon::None);
  }
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(view.hints.empty());
}

// Making the record's folders needs write access only where a folder is made: a Project
// folder that can be entered but not written to still takes a save into the folders below.
TEST_F(Commands, SaveNeedsNoWriteAccessAboveTheFoldersItUses) {
  FillComplete();
  fs::create_directories(root + "/MAIN ST/A-100/Subgrade");
  // Root may write anywhere: the save runs as an unprivileged user who owns the folders.
  if (const char* why = testdata::Lacks(testdata::Need::kOtherUser)) GTEST_SKIP() << why;
  for (const std::string& p :
       std::vector<std::string>{dir.path().string(), root, root + "/MAIN ST",
                                root + "/MAIN ST/A-100", root + "/MAIN ST/A-100/Subgrade"}) {
    testdata::GiveToNobody(p);
    testdata::SetFileMode(p, 0755);
  }
  testdata::SetFileMode(root + "/MAIN ST", 0555);
  EXPECT_EQ(testdata::AsNobody([&] {
              ScriptedPrompt quiet;
              cmds.OnFileSave();
              return quiet.shown.empty() && fs::is_regular_file(Derived()) ? 0 : 1;
            }),
            0);
}

TEST_F(Commands, SaveRefusesNamesThatLeaveTheProjectsDirectory) {
  FillComplete();
  struct Case {
    std::string CompactionRecord::*field;
    std::string value;
    std::string label;
  };
  for (const Case& c : {Case{&CompactionRecord::m_strProject, "..", "Project"},
                        Case{&CompactionRecord::m_strProject, "a/../../b", "Project"},
                        Case{&CompactionRecord::m_strTipNo, ".", "T.I.P. No."},
                        Case{&CompactionRecord::m_strTestType, "x\\y", "Test Type"},
                        Case{&CompactionRecord::m_strTestNo, "../7", "Test No."},
                        Case{&CompactionRecord::m_strTestNo, std::string("7\0x", 3), "Test No."}}) {
    FillComplete();
    prompt.shown.clear();
    doc.m_record.*c.field = c.value;
    cmds.OnFileSave();
    ASSERT_EQ(prompt.Texts(), std::vector<std::string>{"File cannot be saved: " + c.label +
                                                       " is not a valid folder or file name"})
        << c.value;
  }
  EXPECT_TRUE(fs::is_empty(root));
  int entries = 0;  // nothing was written beside the projects directory either
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
  EXPECT_TRUE(doc.IsModified());
}

// A projects directory is copied between Linux and Windows: a name that Windows refuses is
// refused on every system, and names it takes are still written.
TEST_F(Commands, SaveRefusesNamesWindowsCannotHold) {
  struct Case {
    std::string CompactionRecord::*field;
    std::string value;
    const char* label;  // nullptr: the name is taken
  };
  for (const Case& c : {Case{&CompactionRecord::m_strProject, "MAIN:ST", "Project"},
                        Case{&CompactionRecord::m_strProject, "MAIN ST.", "Project"},
                        Case{&CompactionRecord::m_strProject, "aux", "Project"},
                        Case{&CompactionRecord::m_strTipNo, "A-100 ", "T.I.P. No."},
                        Case{&CompactionRecord::m_strTipNo, "LPT1.x", "T.I.P. No."},
                        Case{&CompactionRecord::m_strTestType, "Sub*grade", "Test Type"},
                        Case{&CompactionRecord::m_strTestType, "COM9", "Test Type"},
                        Case{&CompactionRecord::m_strTestNo, "7?", "Test No."},
                        Case{&CompactionRecord::m_strTestNo, "7\"", "Test No."},
                        Case{&CompactionRecord::m_strTestNo, "7|<>", "Test No."},
                        Case{&CompactionRecord::m_strTestNo, "7\t", "Test No."},
                        Case{&CompactionRecord::m_strProject, "CONSTRUCTION", nullptr},
                        Case{&CompactionRecord::m_strTipNo, "COM10", nullptr},
                        Case{&CompactionRecord::m_strTestNo, "7.", nullptr}}) {
    FillComplete();
    doc.ClearPathName();
    prompt.shown.clear();
    doc.m_record.*c.field = c.value;
    cmds.OnFileSave();
    if (c.label) {
      EXPECT_EQ(prompt.Texts(),
                std::vector<std::string>{std::string("File cannot be saved: ") + c.label +
                                         " is not a valid folder or file name"})
          << c.value;
    } else {
      EXPECT_TRUE(prompt.Texts().empty()) << c.value;
      EXPECT_FALSE(doc.IsModified()) << c.value;
    }
  }
}

TEST_F(Commands, QuerySaveChangesOnAFullRecord) {
  FillComplete();
  doc.m_record.m_strTipNo = "   ";
  prompt.Plan({MsgAnswer::Cancel});
  EXPECT_FALSE(cmds.QuerySaveChanges(CDocumentCommands::Command::kNew));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, Shown("Do you want to save the changes you made to \"" + root +
                                        "/MAIN ST/Subgrade/7Sub.lng\"?"));
  EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(prompt.shown[0].icon, MsgIcon::Stop);
  EXPECT_TRUE(doc.m_record.m_strTipNo.empty());  // emptied even on Cancel
  EXPECT_TRUE(doc.IsModified());

  prompt.Plan({MsgAnswer::No});
  EXPECT_TRUE(cmds.QuerySaveChanges(CDocumentCommands::Command::kNew));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(fs::is_empty(root));

  // Yes creates the missing folders, as Save does, and writes.
  prompt.Plan({MsgAnswer::Yes});
  EXPECT_TRUE(cmds.QuerySaveChanges(CDocumentCommands::Command::kClose));
  EXPECT_TRUE(fs::is_regular_file(root + "/MAIN ST/Subgrade/7Sub.lng"));
  EXPECT_FALSE(doc.IsModified());

  // With a document path the question names it.
  doc.SetPathName(dir / "x.lng");
  doc.SetModifiedFlag(true);
  prompt.shown.clear();
  EXPECT_FALSE(cmds.QuerySaveChanges(CDocumentCommands::Command::kOpen));
  EXPECT_EQ(prompt.shown[0].text,
            "Do you want to save the changes you made to \"" + (dir / "x.lng") + "\"?");
}

TEST_F(Commands, AYesWhoseWriteFailsKeepsTheRecord) {
  FillComplete();
  cmds.OnFileSave();
  fs::permissions(Derived(), fs::perms::owner_read);
  doc.m_record.m_strComments = "changed";
  doc.SetModifiedFlag(true);
  prompt.shown.clear();
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileNew();
  EXPECT_EQ(prompt.Texts(),
            Shown(std::vector<std::string>{
                "Do you want to save the changes you made to \"" + Derived() + "\"?",
                "Access to " + Derived() + " was denied."}));
  EXPECT_EQ(doc.m_record.m_strComments, "changed");  // New did not go on
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(Commands, PartlyFilledAndEmptyRecords) {
  using C = CDocumentCommands::Command;
  for (C c : {C::kNew, C::kOpen, C::kClose, C::kChangeProjectsDir}) {
    FillPartly();
    prompt.shown.clear();
    prompt.Plan({MsgAnswer::No});
    EXPECT_FALSE(cmds.QuerySaveChanges(c));
    prompt.Plan({MsgAnswer::Yes});
    EXPECT_TRUE(cmds.QuerySaveChanges(c));
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].text,
              "WARNING: A file cannot be saved; one or more required fields missing.  Continue?");
    EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::YesNo);
    // Only the change of directory forgets the changes; the others ask again next time.
    EXPECT_EQ(doc.IsModified(), c != C::kChangeProjectsDir);
  }

  // Only points entered: dropped without a question; Open clears the flag first.
  doc.ResetRecord();
  doc.m_record.Point(0).m_dMoldSoil = 6000;
  prompt.shown.clear();
  for (C c : {C::kNew, C::kClose, C::kOpen}) {
    doc.SetModifiedFlag(true);
    EXPECT_TRUE(cmds.QuerySaveChanges(c));
    EXPECT_EQ(doc.IsModified(), c != C::kOpen);
  }
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(Commands, NewAfterEachAnswer) {
  FillComplete();
  doc.SetPathName(dir / "7Sub.lng");
  doc.SetModifiedFlag(true);
  prompt.Plan({MsgAnswer::Cancel});
  cmds.OnFileNew();
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");

  prompt.Plan({MsgAnswer::No});
  cmds.OnFileNew();
  const CompactionRecord& r = doc.m_record;
  EXPECT_TRUE(r.m_strProject.empty() && r.m_strTestNo.empty() && r.m_dMoldWeight == 0.0);
  EXPECT_EQ(r.m_strDate, "03/14/2026");  // a new test starts today, not on the last one's day
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(doc.GetPathName().empty());
  EXPECT_EQ(doc.GetTitle(), "7Sub.lng");
  EXPECT_EQ(view.hints, std::vector<long>{0});
  EXPECT_FALSE(fs::exists(dir / "7Sub.lng"));
}

TEST_F(Commands, OpenAsksForAFileAndWarnsAboutOtherExtensions) {
  CDensoraDoc other;
  testdata::FillTypicalRecord(other);
  ASSERT_TRUE(other.OnSaveDocument(dir / "report.LNG"));
  ASSERT_TRUE(other.OnSaveDocument(dir / "notes.txt"));

  host.openAnswer.reset();
  cmds.OnFileOpen();
  EXPECT_EQ(host.openDialogFolders, std::vector<std::string>{root});
  EXPECT_TRUE(doc.AreRequiredEmpty());

  host.openAnswer = dir / "report.LNG";
  cmds.OnFileOpen();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_EQ(doc.GetPathName(), dir / "report.LNG");
  EXPECT_EQ(doc.GetTitle(), "report.LNG");
  EXPECT_EQ(host.opened, std::vector<std::string>{dir / "report.LNG"});
  EXPECT_EQ(view.hints, std::vector<long>{1});

  doc.OnNewDocument();
  host.openAnswer = dir / "notes.txt";
  prompt.Plan({MsgAnswer::No});
  cmds.OnFileOpen();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{
                                "Warning: file may be incompatible, program may crash. Proceed?"});
  EXPECT_TRUE(doc.m_record.m_strProject.empty());
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileOpen();
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
}

TEST_F(Commands, OpeningARefusedFileChangesNothing) {
  FillPartly();
  doc.SetPathName(dir / "mine.lng");
  testdata::WriteBytes(dir / "bad.lng", {0x2D, 0x77, 0, 0, 3, 'x', 'y', 'z'});
  host.openAnswer = dir / "bad.lng";
  prompt.Plan({MsgAnswer::Yes});  // go on without saving the partly filled record
  const auto before = Bytes();
  cmds.OnFileOpen();
  EXPECT_EQ(Bytes(), before);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.GetPathName(), dir / "mine.lng");
  EXPECT_EQ(host.failed, std::vector<std::string>{dir / "bad.lng"});
  EXPECT_TRUE(view.hints.empty());
}

TEST_F(Commands, OpeningTheFileAlreadyOpenReadsItAgain) {
  CDensoraDoc other;
  testdata::FillTypicalRecord(other);
  ASSERT_TRUE(other.OnSaveDocument(dir / "7Sub.lng"));
  host.openAnswer = dir / "7Sub.lng";
  cmds.OnFileOpen();
  doc.m_record.m_strStation = "edited";
  doc.SetModifiedFlag(true);
  prompt.Plan({MsgAnswer::No});
  cmds.OnFileOpen();
  EXPECT_EQ(doc.m_record.m_strStation, "12+50 RT");
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(Commands, RecentFileAsksItsOwnQuestion) {
  CDensoraDoc other;
  other.m_record.m_strProject = "OTHER";
  ASSERT_TRUE(other.OnSaveDocument(dir / "o.lng"));
  FillComplete();
  doc.SetPathName(dir / "7Sub.lng");
  doc.SetModifiedFlag(true);
  prompt.Plan({MsgAnswer::Cancel});
  cmds.OnOpenRecentFile(dir / "o.lng");
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Save changes to " + (dir / "7Sub.lng") + "?"});
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnOpenRecentFile(dir / "o.lng");
  EXPECT_TRUE(fs::is_regular_file(dir / "7Sub.lng"));
  EXPECT_EQ(doc.m_record.m_strProject, "OTHER");

  cmds.OnOpenRecentFile(dir / "gone.lng");
  EXPECT_EQ(host.failed, std::vector<std::string>{dir / "gone.lng"});
  EXPECT_EQ(prompt.Texts().back(), (dir / "gone.lng") + " was not found.");

  // Changes not saved, then a file that is refused: they stay marked as unsaved.
  testdata::WriteBytes(dir / "empty.lng", {});
  doc.m_record.m_strStation = "edited";
  doc.SetModifiedFlag(true);
  prompt.Plan({MsgAnswer::No});
  cmds.OnOpenRecentFile(dir / "empty.lng");
  EXPECT_EQ(doc.m_record.m_strStation, "edited");
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(Commands, RecentFileSavesARecordWithoutAPathThroughSaveAs) {
  CDensoraDoc other;
  other.m_record.m_strProject = "OTHER";
  ASSERT_TRUE(other.OnSaveDocument(dir / "o.lng"));
  // Partly filled, never saved: the derived path cannot be built, the Save As dialog asks.
  FillPartly();
  doc.SetTitle("Untitled");
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnOpenRecentFile(dir / "o.lng");  // Save As cancelled: the record stays
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Save changes to Untitled?"});
  EXPECT_EQ(host.saveDialogProposals, std::vector<std::string>{root + "/Untitled.lng"});
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_TRUE(doc.IsModified());

  host.saveAnswer = dir / "kept";  // typed without an extension
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnOpenRecentFile(dir / "o.lng");
  ASSERT_TRUE(fs::is_regular_file(dir / "kept.lng"));
  EXPECT_EQ(doc.m_record.m_strProject, "OTHER");
  CDensoraDoc back;
  ASSERT_TRUE(back.OnOpenDocument(dir / "kept.lng"));
  EXPECT_EQ(back.m_record.m_strProject, "MAIN ST");

  // A write that fails keeps the record on screen and opens nothing.
  FillPartly();
  doc.ClearPathName();
  host.saveAnswer = dir / "no-such-folder/x.lng";
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnOpenRecentFile(dir / "o.lng");
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(Commands, CloseAsksAndCanBeCancelled) {
  EXPECT_TRUE(cmds.OnClose());
  FillComplete();
  prompt.Plan({MsgAnswer::Cancel, MsgAnswer::No});
  EXPECT_FALSE(cmds.OnClose());
  EXPECT_TRUE(cmds.OnClose());
}

TEST_F(Commands, TreeSelectionLoadsFilesAndClearsOnFolders) {
  CDensoraDoc other;
  testdata::FillTypicalRecord(other);
  fs::create_directories(root + "/MAIN ST/A-100/Subgrade");
  ASSERT_TRUE(other.OnSaveDocument(Derived()));

  cmds.OnTreeSelect(FileItem({"MAIN ST", "A-100", "Subgrade", "7Sub.lng"}));
  EXPECT_EQ(doc.m_record.m_strStation, "12+50 RT");
  EXPECT_EQ(doc.GetPathName(), Derived());  // the file read is the document's from now on
  EXPECT_EQ(doc.GetTitle(), "7Sub.lng");
  EXPECT_EQ(view.hints, std::vector<long>{1});
  EXPECT_FALSE(doc.IsModified());

  // A folder with items clears the record and its path.
  cmds.OnTreeSelect(FolderItem({"MAIN ST", "A-100"}));
  EXPECT_TRUE(doc.AreRequiredEmpty());
  EXPECT_TRUE(doc.GetPathName().empty());
  EXPECT_EQ(view.hints, (std::vector<long>{1, 1}));

  // While starting, a folder selection leaves the record alone.
  cmds.OnTreeSelect(FileItem({"MAIN ST", "A-100", "Subgrade", "7Sub.lng"}));
  g_bTreeStartup = true;
  cmds.OnTreeSelect(FolderItem({"MAIN ST"}));
  EXPECT_EQ(doc.m_record.m_strStation, "12+50 RT");
  g_bTreeStartup = false;

  // An empty folder and a name without a file do nothing.
  fs::create_directory(root + "/EMPTY");
  cmds.OnTreeSelect(FolderItem({"EMPTY"}, false));
  cmds.OnTreeSelect(FileItem({"MAIN ST", "A-100", "Subgrade", "notes.lng"}));
  EXPECT_EQ(doc.m_record.m_strStation, "12+50 RT");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(Commands, TreeSelectionOfAModifiedRecord) {
  CDensoraDoc other;
  other.m_record.m_strProject = "OTHER";
  fs::create_directories(root + "/OTHER");
  ASSERT_TRUE(other.OnSaveDocument(root + "/OTHER/1Cem.lng"));

  // Partly filled, No: nothing is loaded and the record stays modified.
  FillPartly();
  prompt.Plan({MsgAnswer::No});
  cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_TRUE(doc.IsModified());

  // Full record, Yes: saved under the whole Test Type name, then the file is loaded.
  FillComplete();
  prompt.shown.clear();
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
  EXPECT_EQ(prompt.shown[0].text, "Do you want to save the changes you made to \"7Subgrade.lng\"?");
  EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_TRUE(fs::is_regular_file(root + "/MAIN ST/A-100/Subgrade/7Subgrade.lng"));
  EXPECT_EQ(doc.m_record.m_strProject, "OTHER");

  // Full record, No: the changes are dropped and the file loaded.
  FillComplete();
  prompt.Plan({MsgAnswer::No});
  cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
  EXPECT_EQ(doc.m_record.m_strProject, "OTHER");
  EXPECT_FALSE(doc.IsModified());

  // The tree's save is a whole store step: recounted, refitted, the density in pcf.
  FillComplete();
  doc.ClearPathName();
  doc.m_nUnits = kMetric;
  doc.m_record.m_nPointCount = 0;
  doc.m_record.m_dMaxDryDensity = 0.0;
  prompt.Plan({MsgAnswer::Yes, MsgAnswer::Yes});  // save, and replace the earlier 7Subgrade.lng
  cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
  CDensoraDoc stored;
  ASSERT_TRUE(stored.OnOpenDocument(root + "/MAIN ST/A-100/Subgrade/7Subgrade.lng"));
  EXPECT_EQ(stored.m_record.m_nPointCount, 5);
  EXPECT_NEAR(stored.m_record.m_dMaxDryDensity, 111.529, 1e-3);
  doc.m_nUnits = kEnglish;

  // ... and refuses a name that would leave the projects directory, writing nothing.
  FillComplete();
  doc.ClearPathName();
  doc.m_record.m_strTestType = "../../x";
  prompt.shown.clear();
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
  EXPECT_EQ(prompt.Texts().back(),
            "File cannot be saved: Test Type is not a valid folder or file name");
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_FALSE(fs::exists(root + "/x"));

  // Full record without a path, Yes, but the write fails: the record stays on screen.
  FillComplete();
  doc.ClearPathName();
  fs::permissions(root + "/MAIN ST/A-100/Subgrade/7Subgrade.lng", fs::perms::owner_read);
  prompt.Plan({MsgAnswer::Yes, MsgAnswer::Yes});
  cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_TRUE(doc.IsModified());
}

// A save that derives its path from the record's fields never replaces another test's file
// unasked: No writes nothing, keeps the record modified and abandons the command that
// wanted the save. The file the record was read from or last wrote is its own.
TEST_F(Commands, ADerivedSaveAsksBeforeReplacingAnotherTestsFile) {
  fs::create_directories(root + "/MAIN ST/A-100/Subgrade");
  fs::create_directories(root + "/OTHER");
  CDensoraDoc other;
  other.m_record.m_strProject = "OTHER";
  ASSERT_TRUE(other.OnSaveDocument(root + "/OTHER/1Cem.lng"));
  const std::vector<unsigned char> theirs = LngBytes(other.m_record);
  auto replace = [](const std::string& path) {
    return Shown(path + " already exists.\nDo you want to replace it?");
  };
  struct Row {
    const char* name;
    std::string file;
    std::vector<MsgAnswer> before;  // the answers to the questions asked before it
    std::function<bool()> save;     // true when the command went on
  };
  const std::vector<Row> rows = {
      {"File Save",
       Derived(),
       {},
       [&] {
         cmds.OnFileSave();
         return !doc.IsModified();
       }},
      {"the save-changes question",
       Derived(),
       {MsgAnswer::Yes},
       [&] { return cmds.QuerySaveChanges(CDocumentCommands::Command::kClose); }},
      {"the tree's save",
       root + "/MAIN ST/A-100/Subgrade/7Subgrade.lng",
       {MsgAnswer::Yes},
       [&] {
         cmds.OnTreeSelect(FileItem({"OTHER", "1Cem.lng"}));
         return doc.m_record.m_strProject == "OTHER";
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testdata::WriteBytes(row.file, theirs);
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
      doc.OnNewDocument();
      FillComplete();
      prompt.shown.clear();
      prompt.Plan(row.before.empty() ? std::initializer_list<MsgAnswer>{answer}
                                     : std::initializer_list<MsgAnswer>{MsgAnswer::Yes, answer});
      EXPECT_EQ(row.save(), answer == MsgAnswer::Yes);
      ASSERT_EQ(prompt.shown.size(), row.before.size() + 1);
      EXPECT_EQ(prompt.shown.back().text, replace(row.file));
      EXPECT_EQ(prompt.shown.back().buttons, MsgButtons::YesNo);
      if (answer == MsgAnswer::No) {
        EXPECT_EQ(testdata::ReadBytes(row.file), theirs);
        EXPECT_TRUE(doc.IsModified());
      } else {
        CDensoraDoc stored;
        ASSERT_TRUE(stored.OnOpenDocument(row.file));
        EXPECT_EQ(stored.m_record.m_strProject, "MAIN ST");
      }
    }
  }

  // A new record saved once writes its own file again without a word...
  doc.OnNewDocument();
  FillComplete();
  prompt.shown.clear();
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileSave();
  doc.m_record.m_strComments = "second thoughts";
  doc.SetModifiedFlag(true);
  cmds.OnFileSave();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{replace(Derived())});
  EXPECT_FALSE(doc.IsModified());
  // ... but another Test No. that lands on another test's file asks again.
  const std::string eight = root + "/MAIN ST/A-100/Subgrade/8Sub.lng";
  testdata::WriteBytes(eight, theirs);
  doc.m_record.m_strTestNo = "8";
  prompt.Plan({MsgAnswer::No});
  cmds.OnFileSave();
  EXPECT_EQ(prompt.Texts().back(), replace(eight));
  EXPECT_EQ(testdata::ReadBytes(eight), theirs);

  // A record read from a file is written back to it, whatever its fields say now; a new
  // record after it that derives the same file is another test.
  ASSERT_TRUE(cmds.OpenDocumentFile(Derived()));
  doc.m_record.m_strTestNo = "9";
  doc.SetModifiedFlag(true);
  prompt.shown.clear();
  cmds.OnFileSave();
  cmds.OnFileNew();
  FillComplete();
  prompt.Plan({MsgAnswer::No});
  cmds.OnFileSave();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{replace(Derived())});
}

// A stray Enter keeps the data: every question whose Yes removes or replaces a file has No
// as its default button; the others keep the box's own default.
TEST_F(Commands, QuestionsThatLoseDataDefaultToNo) {
  fs::create_directories(root + "/P/Sub");
  const std::string file = root + "/P/Sub/1Sub.lng";
  struct Row {
    const char* name;
    std::function<void()> ask;
    std::string question;
    std::optional<MsgAnswer> defaultAnswer;
  };
  const std::vector<Row> rows = {
      {"Delete of a file",
       [&] {
         cmds.OnFileDelete(FileItem({"P", "Sub", "1Sub.lng"}));
       },
       "Are you sure you want to delete file \"" + file + "\"?", MsgAnswer::No},
      {"Delete of a folder",
       [&] {
         cmds.OnFileDelete(FolderItem({"P", "Sub"}));
       },
       "Are you sure you want to delete folder \"" + root + "/P/Sub\" and all its contents?",
       MsgAnswer::No},
      {"a file changed by another program",
       [&] {
         ASSERT_TRUE(cmds.OpenDocumentFile(file));
         testdata::WriteBytes(file, {1, 2, 3});
         doc.SetModifiedFlag(true);
         cmds.OnFileSave();
       },
       file + " was changed by another program since it was opened. Overwrite it?", MsgAnswer::No},
      {"a new test onto another's file",
       [&] {
         fs::copy_file(file, Derived());
         doc.OnNewDocument();
         FillComplete();
         cmds.OnFileSave();
       },
       Derived() + " already exists.\nDo you want to replace it?", MsgAnswer::No},
      {"the save-changes question", [&] { cmds.OnFileNew(); },
       "Do you want to save the changes you made to \"" + Derived() + "\"?", std::nullopt},
  };
  fs::create_directories(root + "/MAIN ST/A-100/Subgrade");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CDensoraDoc test;
    testdata::FillTypicalRecord(test);
    ASSERT_TRUE(test.OnSaveDocument(file));
    const auto before = testdata::ReadBytes(file);
    prompt.shown.clear();
    prompt.Plan({MsgAnswer::No});
    row.ask();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, Shown(row.question));
    EXPECT_EQ(prompt.shown[0].defaultAnswer, row.defaultAnswer);
    EXPECT_TRUE(fs::exists(file));
  }
}

// A file the reader refuses, an empty one above all, never takes the place of the record on
// screen: the path, the title, the flag and the views stay as they were, so that a later
// Save cannot write this record into the refused file.
TEST_F(Commands, ARefusedFileFromTheTreeChangesNothing) {
  fs::create_directories(root + "/P");
  CDensoraDoc a;
  testdata::FillTypicalRecord(a);
  ASSERT_TRUE(a.OnSaveDocument(root + "/P/a.lng"));
  testdata::WriteBytes(root + "/P/b.lng", {});
  testdata::WriteBytes(root + "/P/c.lng", {0x2D, 0x77, 0, 0, 3, 'x', 'y', 'z'});
  cmds.OnTreeSelect(FileItem({"P", "a.lng"}));
  doc.m_record.m_strStation = "edited";
  doc.SetModifiedFlag(true);
  view.hints.clear();

  prompt.Plan({MsgAnswer::No, MsgAnswer::Ok, MsgAnswer::No, MsgAnswer::Ok});
  for (const char* refused : {"b.lng", "c.lng"}) {
    cmds.OnTreeSelect(FileItem({"P", refused}));
    EXPECT_EQ(doc.GetPathName(), root + "/P/a.lng") << refused;
    EXPECT_EQ(doc.GetTitle(), "a.lng");
    EXPECT_EQ(doc.m_record.m_strStation, "edited");
    EXPECT_TRUE(doc.IsModified()) << refused;  // the edits are still unsaved
    EXPECT_TRUE(view.hints.empty());
  }
  EXPECT_EQ(testdata::ReadBytes(root + "/P/b.lng").size(), 0u);
}

// A record that the reader would refuse once written (here a block of entries from a later
// version, full, and a Gs typed on top) is never written: each save says why, the record
// stays modified, the command that wanted the save stops, and nothing on disk is touched.
TEST_F(Commands, ARecordTheReaderWouldRefuseIsNeverWritten) {
  CDensoraDoc later;
  testdata::FillTypicalRecord(later);
  for (int i = 0; i < 64; ++i)
    later.m_record.m_ext.unknown.push_back({"later" + std::to_string(i), 'I', 0.0, i, {}});
  const std::string file = dir / "full.lng";
  ASSERT_TRUE(later.OnSaveDocument(file));
  const auto theirs = testdata::ReadBytes(file);
  ASSERT_TRUE(cmds.OpenDocumentFile(file));
  doc.m_record.m_ext.specificGravity = 2.65;
  doc.SetModifiedFlag(true);

  const std::string why =
      " cannot be saved: it holds more laboratory entries than a compaction file can keep.";
  cmds.OnFileSave();
  prompt.Plan({MsgAnswer::Yes});
  EXPECT_FALSE(cmds.QuerySaveChanges(CDocumentCommands::Command::kNew));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{
                file + why, "Do you want to save the changes you made to \"" + file + "\"?",
                file + why}));
  EXPECT_EQ(testdata::ReadBytes(file), theirs);
  EXPECT_TRUE(doc.IsModified());

  // Without a document path no folder is made for it either.
  doc.ClearPathName();
  prompt.shown.clear();
  cmds.OnFileSave();
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnTreeSelect(FileItem({"MAIN ST"}));
  EXPECT_EQ(prompt.Texts(),
            Shown(std::vector<std::string>{
                Derived() + why, "Do you want to save the changes you made to \"7Subgrade.lng\"?",
                root + "/MAIN ST/A-100/Subgrade/7Subgrade.lng" + why}));
  EXPECT_TRUE(fs::is_empty(root));
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(Commands, DeleteFilesAndFolders) {
  fs::create_directories(root + "/P/T/Sub/deep");
  testdata::WriteBytes(root + "/P/T/Sub/7Sub.lng", {1});
  testdata::WriteBytes(root + "/P/T/Sub/notes.txt", {1});
  testdata::WriteBytes(root + "/P/T/Sub/deep/x.lng", {1});
  testdata::WriteBytes(root + "/P/T/notes.xlng", {1});
  fs::create_directory(root + "/EMPTY");

  prompt.Plan({MsgAnswer::No});
  cmds.OnFileDelete(FileItem({"P", "T", "Sub", "7Sub.lng"}));
  EXPECT_TRUE(fs::exists(root + "/P/T/Sub/7Sub.lng"));
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileDelete(FileItem({"P", "T", "Sub", "7Sub.lng"}));
  EXPECT_FALSE(fs::exists(root + "/P/T/Sub/7Sub.lng"));
  EXPECT_TRUE(fs::exists(root + "/P/T/Sub/notes.txt"));

  prompt.Plan({MsgAnswer::Yes, MsgAnswer::Yes});
  cmds.OnFileDelete(FolderItem({"EMPTY"}, false));
  cmds.OnFileDelete(FolderItem({"P", "T", "Sub"}));
  EXPECT_FALSE(fs::exists(root + "/EMPTY"));
  EXPECT_FALSE(fs::exists(root + "/P/T/Sub"));
  EXPECT_TRUE(fs::exists(root + "/P/T/notes.xlng"));

  EXPECT_EQ(
      prompt.Texts(),
      Shown(std::vector<std::string>{
          "Are you sure you want to delete file \"" + root + "/P/T/Sub/7Sub.lng\"?",
          "Are you sure you want to delete file \"" + root + "/P/T/Sub/7Sub.lng\"?",
          "Are you sure you want to delete folder \"" + root + "/EMPTY\" and all its contents?",
          "Are you sure you want to delete folder \"" + root +
              "/P/T/Sub\" and all its contents?"}));
  EXPECT_EQ(host.refreshes, 3);
}

// Each item deletes the entry it stands for, never a namesake of the other kind, and never
// anything reached through a link that leads out of the projects directory.
TEST_F(Commands, DeleteActsOnTheItemsOwnEntry) {
  if (const char* why = testdata::Lacks(testdata::Need::kSymlink)) GTEST_SKIP() << why;
  fs::create_directories(root + "/P/COUNTY RD 9/Lime");
  testdata::WriteBytes(root + "/P/COUNTY RD 9.lng", {1});
  testdata::WriteBytes(root + "/P/COUNTY RD 9/Lime/12Lim.lng", {1});
  testdata::WriteBytes(root + "/P/readme", {1});
  testdata::WriteBytes(root + "/P/readme.lng", {1});
  fs::create_directories(dir / "outside/sub");
  testdata::WriteBytes(dir / "outside/canary.lng", {1});
  fs::create_directory_symlink("../../outside", root + "/P/canarylink");
  // Names that are not UTF-8: a Latin-1 folder, and a file whose bytes differ from a
  // neighbour's only where the neighbour holds the replacement character.
  fs::create_directories(root +
                         "/P/Stra\xDF"
                         "e L1");
  testdata::WriteBytes(root +
                           "/P/Stra\xDF"
                           "e L1/1Sub.lng",
                       {1});
  testdata::WriteBytes(root + "/P/bad\xFF.lng", {1});
  testdata::WriteBytes(root + "/P/bad\xEF\xBF\xBD.lng", {1});

  prompt.Plan({MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes});
  cmds.OnFileDelete(FileItem({"P", "COUNTY RD 9.lng"}));
  cmds.OnFileDelete(FileItem({"P", "readme.lng"}));
  cmds.OnFileDelete(FileItem({"P",
                              "Stra\xDF"
                              "e L1",
                              "1Sub.lng"}));
  cmds.OnFileDelete(FileItem({"P", "bad\xFF.lng"}));
  EXPECT_FALSE(fs::exists(root + "/P/COUNTY RD 9.lng"));
  EXPECT_TRUE(fs::exists(root + "/P/COUNTY RD 9/Lime/12Lim.lng"));
  EXPECT_FALSE(fs::exists(root + "/P/readme.lng"));
  EXPECT_TRUE(fs::exists(root + "/P/readme"));
  EXPECT_FALSE(fs::exists(root + "/P/Stra\xDF"
                                 "e L1/1Sub.lng"));
  EXPECT_FALSE(fs::exists(root + "/P/bad\xFF.lng"));
  EXPECT_TRUE(fs::exists(root + "/P/bad\xEF\xBF\xBD.lng"));

  // Under the link: refused before any question, the real entries outside stay.
  prompt.shown.clear();
  cmds.OnFileDelete(FileItem({"P", "canarylink", "canary.lng"}));
  cmds.OnFileDelete(FolderItem({"P", "canarylink", "sub"}, false));
  cmds.OnFileDelete(FileItem({"P", "..", "..", "outside", "canary.lng"}));
  EXPECT_EQ(
      prompt.Texts(),
      (std::vector<std::string>{
          root +
              "/P/canarylink/canary.lng lies outside the projects directory and was not deleted.",
          root + "/P/canarylink/sub lies outside the projects directory and was not deleted.",
          root + "/P/../../outside/canary.lng lies outside the projects directory and was not "
                 "deleted."}));
  EXPECT_TRUE(fs::exists(dir / "outside/canary.lng"));
  EXPECT_TRUE(fs::exists(dir / "outside/sub"));

  // The link itself goes as a link; what it points to stays.
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileDelete(FolderItem({"P", "canarylink"}));
  EXPECT_FALSE(fs::exists(fs::symlink_status(root + "/P/canarylink")));
  EXPECT_TRUE(fs::exists(dir / "outside/canary.lng"));
}

TEST_F(Commands, DeleteOfAFileItemWithADotTextDeletesOnlyThatFile) {
  // ".lng", "..lng" and "...lng" show as "", "." and ".."; their folder must survive.
  fs::create_directories(root + "/P/Sub");
  testdata::WriteBytes(root + "/P/Sub/7Sub.lng", {1});
  for (const char* name : {".lng", "..lng", "...lng"})
    testdata::WriteBytes(root + "/P/Sub/" + name, {1});
  prompt.Plan({MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes});
  cmds.OnFileDelete(FileItem({"P", "Sub", "...lng"}));
  cmds.OnFileDelete(FileItem({"P", "Sub", "..lng"}));
  cmds.OnFileDelete(FileItem({"P", "Sub", ".lng"}));
  EXPECT_EQ(prompt.Texts(),
            Shown(std::vector<std::string>{
                "Are you sure you want to delete file \"" + root + "/P/Sub/...lng\"?",
                "Are you sure you want to delete file \"" + root + "/P/Sub/..lng\"?",
                "Are you sure you want to delete file \"" + root + "/P/Sub/.lng\"?"}));
  EXPECT_TRUE(fs::exists(root + "/P/Sub/7Sub.lng"));
  for (const char* name : {".lng", "..lng", "...lng"})
    EXPECT_FALSE(fs::exists(root + "/P/Sub/" + name));
}

TEST_F(Commands, DeleteStopsAtAReadOnlyFileAndNeverFollowsLinks) {
  fs::create_directories(root + "/P/A");
  fs::create_directories(dir / "outside");
  testdata::WriteBytes(dir / "outside/keep.lng", {1});
  if (!testdata::Lacks(testdata::Need::kSymlink)) {
    fs::create_directory_symlink(dir / "outside", root + "/P/A/link");
  }
  testdata::WriteBytes(root + "/P/A/ro.lng", {1});
  fs::permissions(root + "/P/A/ro.lng", fs::perms::owner_read);
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileDelete(FolderItem({"P"}));
  EXPECT_EQ(prompt.shown.back().text, "Access to an unnamed file was denied.");
  EXPECT_EQ(prompt.shown.back().icon, MsgIcon::Stop);
  EXPECT_TRUE(fs::exists(root + "/P/A/ro.lng"));
  EXPECT_TRUE(fs::exists(dir / "outside/keep.lng"));
  EXPECT_EQ(host.refreshes, 0);

  fs::permissions(root + "/P/A/ro.lng", fs::perms::owner_all);
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnFileDelete(FolderItem({"P"}));
  EXPECT_FALSE(fs::exists(root + "/P"));
  EXPECT_TRUE(fs::exists(dir / "outside/keep.lng"));
}

TEST_F(Commands, ChangeProjectsDirectory) {
  host.dirAnswer.reset();
  cmds.OnChangeProjectsDir();
  host.dirAnswer = dir / "missing";
  cmds.OnChangeProjectsDir();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Error: File path does not exist"});
  EXPECT_EQ(root, dir.path().string() + "/projects");

  FillComplete();
  fs::create_directory(dir / "lab2");
  host.dirAnswer = (dir / "lab2") + "/";  // kept as typed
  prompt.Plan({MsgAnswer::Cancel});
  cmds.OnChangeProjectsDir();
  EXPECT_EQ(doc.m_record.m_strProject, "MAIN ST");
  EXPECT_TRUE(host.stored.empty());

  prompt.Plan({MsgAnswer::No});
  cmds.OnChangeProjectsDir();
  EXPECT_EQ(root, (dir / "lab2") + "/");
  EXPECT_EQ(host.stored, std::vector<std::string>{(dir / "lab2") + "/"});
  EXPECT_TRUE(doc.m_record.m_strProject.empty());
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(view.hints, (std::vector<long>{0, 0}));
}

// Help Open Sample Tests: the samples go into the folder chosen, their folders kept, which
// becomes the projects directory, and the first of them in the tree's order is opened. A
// test of the same name already there is replaced only when the user says so; a copy that
// is already there is no question.
TEST_F(Commands, OpenSampleTestsCopiesThemIntoTheChosenFolderAndOpensTheFirst) {
  const std::string samples = DENSORA_SAMPLES_DIR;
  const std::vector<std::string> tests = {"COUNTY RD 9/Lime/12Lim.lng",
                                          "MAIN ST/A-100/Embankment/3Emb.lng",
                                          "MAIN ST/A-100/Subgrade/7Sub.lng"};
  host.samplesAnswer.reset();  // the dialog cancelled
  cmds.OnOpenSampleTests(samples);
  EXPECT_TRUE(host.stored.empty());

  const std::string chosen = dir / "samples";
  fs::create_directories(chosen + "/MAIN ST/A-100/Subgrade");
  testdata::WriteBytes(chosen + "/MAIN ST/A-100/Subgrade/7Sub.lng", {'m', 'i', 'n', 'e'});
  host.samplesAnswer = chosen;
  prompt.Plan({MsgAnswer::No});  // keep the test already there
  cmds.OnOpenSampleTests(samples);
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{framework::FormatPathStock(
                msg::kReplaceExisting, chosen + "/MAIN ST/A-100/Subgrade/7Sub.lng")});
  EXPECT_EQ(prompt.shown.back().defaultAnswer, MsgAnswer::No);
  EXPECT_EQ(testdata::ReadBytes(chosen + "/" + tests[2]),
            (std::vector<unsigned char>{'m', 'i', 'n', 'e'}));
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(testdata::ReadBytes(chosen + "/" + tests[i]),
              testdata::ReadBytes(samples + "/" + tests[i]))
        << tests[i];
  }
  EXPECT_EQ(root, chosen);
  EXPECT_EQ(host.stored, std::vector<std::string>{chosen});
  EXPECT_EQ(doc.GetPathName(), chosen + "/" + tests[0]);
  EXPECT_EQ(host.opened, std::vector<std::string>{chosen + "/" + tests[0]});

  // Again, with Yes: only the test that differs is asked about, and replaced.
  prompt.shown.clear();
  prompt.Plan({MsgAnswer::Yes});
  cmds.OnOpenSampleTests(samples);
  EXPECT_EQ(prompt.shown.size(), 1u);
  for (const std::string& test : tests) {
    EXPECT_EQ(testdata::ReadBytes(chosen + "/" + test), testdata::ReadBytes(samples + "/" + test))
        << test;
  }
}

// The Save As of the recent-file question proposes the title as the file's name, adding the
// compaction files' extension only where the title lacks it.
TEST_F(Commands, RecentFileSaveAsAddsTheExtensionOnlyWhenTheTitleLacksIt) {
  CDensoraDoc other;
  ASSERT_TRUE(other.OnSaveDocument(dir / "o.lng"));
  std::vector<std::string> want;
  for (const char* title : {"7Sub.lng", "7Sub.LNG", "7Sub", "Untitled"}) {
    FillPartly();
    doc.ClearPathName();
    doc.SetTitle(title);
    prompt.Plan({MsgAnswer::Yes});  // save; the dialog is cancelled
    cmds.OnOpenRecentFile(dir / "o.lng");
    const std::string t = title;
    want.push_back(root + "/" + (t.size() > 4 && t[t.size() - 4] == '.' ? t : t + ".lng"));
  }
  EXPECT_EQ(host.saveDialogProposals, want);
}

// The reading of the projects directory for the summary can be stopped, before the first
// file or after some: nothing is written, the file already there stays, and nothing is said.
TEST_F(Commands, AStoppedSummaryWritesNothing) {
  fs::copy(DENSORA_SAMPLES_DIR, root, fs::copy_options::recursive);
  const std::string out = dir / "summary.csv";
  testdata::WriteBytes(out, {'o', 'l', 'd'});
  host.exportAnswer = out;
  for (const std::size_t stop : {std::size_t{0}, std::size_t{2}}) {
    SCOPED_TRACE(stop);
    host.progress.clear();
    host.progressEnds = 0;
    host.stopAt = stop;
    EXPECT_FALSE(cmds.OnExportSummary(FolderItem({})));
    // The reading ended at once.
    EXPECT_EQ(std::find(host.progress.begin(), host.progress.end(), stop) - host.progress.begin(),
              static_cast<std::ptrdiff_t>(host.progress.size()) - 1);
    EXPECT_EQ(host.progressEnds, 1);
    EXPECT_EQ(testdata::ReadBytes(out), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    EXPECT_TRUE(prompt.shown.empty());
  }
}
