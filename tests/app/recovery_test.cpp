// The recovery copy: kept while the record is unsaved, offered after a crash, owned by one
// running program.
#include "app/recovery.h"

#include <QLabel>
#include <QStatusBar>
#include <filesystem>
#include <memory>

#include "app/resource.h"
#include "file/lng_format.h"
#include "file/recovery_copy.h"
#include "model/messages.h"
#include "support_qt/app_fixture.h"
#include "views/project_info_page.h"

namespace fs = std::filesystem;
using framework::MsgAnswer;
using Bytes = std::vector<unsigned char>;

namespace {

const std::string kSample = std::string(DENSORA_SAMPLES_DIR) + "/MAIN ST/A-100/Subgrade/7Sub.lng";

// The ten seconds after an edit run out: the timer fires.
void FireTimer(CRecovery& recovery) {
  ASSERT_TRUE(recovery.Timer().isActive());
  recovery.Timer().stop();
  QMetaObject::invokeMethod(&recovery.Timer(), "timeout");
}

class Recovery : public AppFixture {
 protected:
  std::string CopyPath() const { return tmp / "data/Vollin/Densora/unsaved-test.recovery"; }
  QLineEdit* Project() const {
    return Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT);
  }
  // The program ends without its normal exit, as in a crash.
  void Crash() { app.reset(); }
};

}  // namespace

TEST_F(Recovery, AnEditLeftByACrashIsOfferedAtTheNextStart) {
  struct Row {
    const char* name;
    bool fromFile;
    MsgAnswer answer;
  };
  for (const Row& row : {Row{"opened file, Yes", true, MsgAnswer::Yes},
                         Row{"new record, Yes", false, MsgAnswer::Yes},
                         Row{"new record, No", false, MsgAnswer::No}}) {
    SCOPED_TRACE(row.name);
    const std::string file = tmp / "7Sub.lng";
    fs::copy_file(kSample, file, fs::copy_options::overwrite_existing);
    fs::remove(CopyPath());  // the previous row's
    prompt.shown.clear();
    ASSERT_TRUE(Start(row.fromFile ? QStringList{QString::fromStdString(file)} : QStringList{}));
    EXPECT_FALSE(app->Recovery()->Timer().isActive());
    TypeOver(Project(), "EDITED");
    EXPECT_EQ(app->Recovery()->Timer().interval(), 10000);
    FireTimer(*app->Recovery());
    ASSERT_TRUE(fs::exists(CopyPath()));
    // The next edit starts the wait again.
    QTest::keyClicks(Project(), "X");
    EXPECT_TRUE(app->Recovery()->Timer().isActive());
    Crash();

    // The copy comes first; recovered, it wins over the file named on the command line.
    prompt.Plan({row.answer});
    ASSERT_TRUE(Start({QString::fromStdString(kSample)}));
    const std::string name = row.fromFile ? file : "Untitled (Project EDITED)";
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Densora closed without saving the test " +
                                                       name + ". Recover it?"});
    EXPECT_EQ(prompt.shown[0].buttons, framework::MsgButtons::YesNo);
    if (row.answer == MsgAnswer::Yes) {
      EXPECT_EQ(Record().m_strProject, "EDITED");
      EXPECT_EQ(Project()->text(), "EDITED");
      EXPECT_TRUE(Doc().IsModified());
      EXPECT_EQ(Doc().GetPathName(), row.fromFile ? file : "");
      EXPECT_EQ(Frame()->windowTitle(), row.fromFile ? "7Sub.lng - Densora" : "Untitled - Densora");
      EXPECT_TRUE(fs::exists(CopyPath()));  // until the record is saved
    } else {
      EXPECT_FALSE(fs::exists(CopyPath()));
      EXPECT_EQ(Record().m_strProject, "MAIN ST");  // the command line's file
      EXPECT_FALSE(Doc().IsModified());
    }
    Crash();
  }
}

// A recovered record still knows what its file was: a change made to the file while the
// program was down is not overwritten without a word. The copy goes once the record is
// saved, and at the program's normal end.
TEST_F(Recovery, ARecoveredRecordSavesLikeTheOneThatWasLost) {
  const std::string file = tmp / "7Sub.lng";
  fs::copy_file(kSample, file);
  ASSERT_TRUE(Start({QString::fromStdString(file)}));
  TypeOver(Project(), "MINE");
  FireTimer(*app->Recovery());
  Crash();
  Bytes theirs = testdata::ReadBytes(file);
  theirs.push_back(0);
  testdata::WriteBytes(file, theirs);

  prompt.Plan({MsgAnswer::Yes, MsgAnswer::No});
  ASSERT_TRUE(Start());
  Frame()->OnCommand(ID_FILE_SAVE);
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[1].text,
            file + " was changed by another program since it was opened. Overwrite it?");
  EXPECT_EQ(testdata::ReadBytes(file), theirs);
  EXPECT_TRUE(fs::exists(CopyPath()));

  prompt.Plan({MsgAnswer::Yes});
  Frame()->OnCommand(ID_FILE_SAVE);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_FALSE(fs::exists(CopyPath()));

  QTest::keyClicks(Project(), "2");
  FireTimer(*app->Recovery());
  EXPECT_TRUE(fs::exists(CopyPath()));
  app->ExitInstance();
  EXPECT_FALSE(fs::exists(CopyPath()));
}

// A copy that a newer Densora wrote stays where it is for that program: this one says so,
// keeps no copy over it and does not remove it.
TEST_F(Recovery, ACopyANewerDensoraWroteIsLeftForIt) {
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  Bytes newer = recovery::Encode(doc);
  newer[newer.size() - LngBytes(doc.m_record).size()] = 0x2E;  // a later file version
  PrepareSettings(tmp / "projects");
  prepared = true;
  fs::create_directories(fs::path(CopyPath()).parent_path());
  testdata::WriteBytes(CopyPath(), newer);
  ASSERT_TRUE(Start());
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"The recovery copy " + CopyPath() +
                                                     " could not be read: " + msg::kNeedsUpdate});
  EXPECT_EQ(Frame()->windowTitle(), "Untitled - Densora");
  EXPECT_EQ(Frame()->statusBar()->currentMessage().toStdString(),
            "Recovery copies are off: " + CopyPath() +
                " was written by a newer Densora and is kept for it.");
  TypeOver(Project(), "EDITED");
  EXPECT_FALSE(app->Recovery()->Timer().isActive());
  Doc().SetModifiedFlag(false);
  app->ExitInstance();
  EXPECT_EQ(testdata::ReadBytes(CopyPath()), newer);
}

// One running program owns the copy. A second one, and one whose state folder cannot be
// written, keep none, offer none and remove none; each says so once on the status bar.
TEST_F(Recovery, OnlyTheProgramHoldingTheLockKeepsACopy) {
  const std::string folder = tmp / "state";
  CDensoraDoc first;
  auto owner = std::make_unique<CRecovery>(first, folder);
  ASSERT_EQ(owner->Start(), CRecovery::State::kOwner);
  testdata::FillTypicalRecord(first);
  first.SetModifiedFlag(true);
  owner->WriteCopy();
  const Bytes copy = testdata::ReadBytes(owner->CopyPath());

  testdata::WriteBytes(tmp / "file", {1});
  struct Row {
    std::string folder;
    CRecovery::State state;
    std::string note;
  };
  for (const Row& row :
       {Row{folder, CRecovery::State::kOtherProgram, msg::kRecoveryElsewhere},
        Row{tmp / "file/state", CRecovery::State::kOff,
            "Recovery copies are off: " + (tmp / "file/state") + " cannot be written."}}) {
    SCOPED_TRACE(row.note);
    CDensoraDoc doc;
    CRecovery other(doc, row.folder);
    std::vector<std::string> notes;
    other.SetNoteHandler([&notes](const std::string& n) { notes.push_back(n); });
    EXPECT_EQ(other.Start(), row.state);
    EXPECT_FALSE(other.OfferLeftCopy());
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(other.Timer().isActive());
    other.WriteCopy();
    doc.SetModifiedFlag(false);
    other.Exit();
    EXPECT_EQ(notes, std::vector<std::string>{row.note});
  }
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(testdata::ReadBytes(owner->CopyPath()), copy);

  // The owner gone without its normal end, the next program takes the copy over.
  owner.reset();
  CDensoraDoc next;
  CRecovery heir(next, folder);
  EXPECT_EQ(heir.Start(), CRecovery::State::kOwner);
  prompt.Plan({MsgAnswer::Yes});
  EXPECT_TRUE(heir.OfferLeftCopy());
  EXPECT_EQ(LngBytes(next.m_record), LngBytes(first.m_record));
}

TEST_F(Recovery, AStateFolderThatCannotBeWrittenIsNotedOnTheStatusBar) {
  PrepareSettings(tmp / "projects");
  prepared = true;
  testdata::WriteBytes(tmp / "data", {1});
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->statusBar()->currentMessage().toStdString(),
            "Recovery copies are off: " + (tmp / "data/Vollin/Densora") + " cannot be written.");
  EXPECT_FALSE(Frame()->MessagePane()->isVisible());  // "Ready" does not show through the note
  TypeOver(Project(), "EDITED");
  EXPECT_FALSE(app->Recovery()->Timer().isActive());
  EXPECT_TRUE(prompt.shown.empty());
}

// A record the reader would refuse (a full block of a later version's entries and a Gs typed
// on top) makes no copy: the copy kept is the last one the next start can read.
TEST_F(Recovery, ACopyIsWrittenOnlyOfARecordTheReaderTakesBack) {
  const std::string folder = tmp / "state";
  CDensoraDoc doc;
  auto owner = std::make_unique<CRecovery>(doc, folder);
  ASSERT_EQ(owner->Start(), CRecovery::State::kOwner);
  testdata::FillTypicalRecord(doc);
  for (int i = 0; i < 64; ++i)
    doc.m_record.m_ext.unknown.push_back({"later" + std::to_string(i), 'I', 0.0, i, {}});
  doc.SetModifiedFlag(true);
  owner->WriteCopy();
  doc.m_record.m_ext.specificGravity = 2.65;
  owner->WriteCopy();
  owner.reset();  // a crash

  CDensoraDoc next;
  CRecovery heir(next, folder);
  ASSERT_EQ(heir.Start(), CRecovery::State::kOwner);
  prompt.Plan({MsgAnswer::Yes});
  EXPECT_TRUE(heir.OfferLeftCopy());
  EXPECT_EQ(prompt.shown.size(), 1u);  // the question only, no refusal
  EXPECT_EQ(next.m_record.m_ext.unknown.size(), 64u);
  EXPECT_EQ(next.m_record.m_ext.specificGravity, 0.0);
}
