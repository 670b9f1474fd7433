// The file commands through the real main window: menu, keys and the projects tree on a real
// temporary projects directory.
#include <sys/stat.h>

#include <QMenuBar>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <sstream>

#include "app/app_commands.h"
#include "app/resource.h"
#include "file/lng_format.h"
#include "file/project_summary.h"
#include "support_qt/app_fixture.h"
#include "views/project_tree.h"

namespace fs = std::filesystem;
using framework::MsgAnswer;

namespace {

class FileCommands : public AppFixture {
 protected:
  std::string Projects() const { return tmp / "projects"; }
  void Save(const std::string& path, void (*fill)(CDensoraDoc&)) {
    CDensoraDoc d;
    fill(d);
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(d.OnSaveDocument(path));
  }
  QTreeWidget& Tree() const { return View()->Tree(); }
  // The item with these texts, opening each folder on the way as a user does.
  QTreeWidgetItem* Find(const QStringList& texts) const {
    QTreeWidgetItem* at = nullptr;
    for (const QString& t : texts) {
      if (at) Tree().expandItem(at);
      QTreeWidgetItem* next = nullptr;
      const int n = at ? at->childCount() : Tree().topLevelItemCount();
      for (int i = 0; i < n; ++i) {
        QTreeWidgetItem* c = at ? at->child(i) : Tree().topLevelItem(i);
        if (c->text(0) == t) next = c;
      }
      if (!next) return nullptr;
      at = next;
    }
    return at;
  }
};

}  // namespace

TEST_F(FileCommands, TheTreeShowsTheProjectsDirectoryAndASelectionLoadsTheFile) {
  fs::create_directories(Projects());
  Save(Projects() + "/MAIN ST/A-100/Subgrade/7Sub.lng", testdata::FillTypicalRecord);
  testdata::WriteBytes(Projects() + "/MAIN ST/A-100/Subgrade/notes.txt", {1});
  ASSERT_TRUE(Start());
  ASSERT_EQ(Tree().topLevelItemCount(), 1);
  QTreeWidgetItem* file = Find({"MAIN ST", "A-100", "Subgrade", "7Sub"});
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->parent()->childCount(), 1);  // the text file is not shown

  Tree().setCurrentItem(file);
  EXPECT_EQ(Record().m_strStation, "12+50 RT");
  EXPECT_EQ(Doc().GetPathName(), Projects() + "/MAIN ST/A-100/Subgrade/7Sub.lng");
  EXPECT_EQ(Frame()->windowTitle().toStdString(), "7Sub.lng - Densora");
  EXPECT_TRUE(prompt.shown.empty());

  // A folder with items clears the record once the program has started.
  Tree().setCurrentItem(Find({"MAIN ST"}));
  EXPECT_TRUE(Record().m_strProject.empty());  // the page fills in today's date again
  EXPECT_TRUE(Record().Point(0).IsEmpty());
  EXPECT_TRUE(Doc().GetPathName().empty());
}

TEST_F(FileCommands, SaveFromTheKeyboardWritesTheFileAndTheTreeOpensItsFolders) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  Doc().SetModifiedFlag(true);
  QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(prompt.shown.empty()) << prompt.shown[0].text;
  EXPECT_TRUE(fs::is_regular_file(Projects() + "/MAIN ST/A-100/Subgrade/7Sub.lng"));
  EXPECT_FALSE(Doc().IsModified());
  QTreeWidgetItem* type = Find({"MAIN ST", "A-100", "Subgrade"});
  ASSERT_NE(type, nullptr);
  EXPECT_TRUE(type->isExpanded());
  EXPECT_TRUE(type->parent()->isExpanded());
  EXPECT_TRUE(type->parent()->parent()->isExpanded());
  ASSERT_EQ(type->childCount(), 1);
  EXPECT_EQ(type->child(0)->text(0), "7Sub");
}

TEST_F(FileCommands, DeleteFromTheMenuRemovesTheSelectedFile) {
  fs::create_directories(Projects());
  Save(Projects() + "/P/Lime/1Lim.lng", [](CDensoraDoc& d) { d.m_record.m_strProject = "P"; });
  Save(Projects() + "/P/Lime/2Lim.lng", [](CDensoraDoc& d) { d.m_record.m_strProject = "P"; });
  ASSERT_TRUE(Start());
  Tree().setCurrentItem(Find({"P", "Lime", "1Lim"}));
  prompt.shown.clear();
  prompt.Plan({MsgAnswer::Yes});
  Frame()->Action(ID_FILE_DELETE)->trigger();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Are you sure you want to delete file \"" + Projects() + "/P/Lime/1Lim.lng\"?");
  EXPECT_FALSE(fs::exists(Projects() + "/P/Lime/1Lim.lng"));
  EXPECT_TRUE(fs::exists(Projects() + "/P/Lime/2Lim.lng"));
  EXPECT_EQ(Find({"P", "Lime", "1Lim"}), nullptr);
  EXPECT_NE(Find({"P", "Lime", "2Lim"}), nullptr);
}

TEST_F(FileCommands, ChangeProjectsDirectoryIsRememberedAndShown) {
  ASSERT_TRUE(Start());
  const std::string other = tmp / "lab2";
  Save(other + "/Q/Cement/3Cem.lng", [](CDensoraDoc& d) { d.m_record.m_strProject = "Q"; });
  app->Commands()->m_dirDialogOverride = [&] { return std::optional<std::string>(other); };
  Frame()->Action(ID_FILE_CHANGE_PROJECTS_DIR)->trigger();
  EXPECT_EQ(app->m_strProjectsDir, other);
  QSettings s(QStringLiteral("Vollin"), QStringLiteral("Densora"));
  EXPECT_EQ(s.value(QStringLiteral("Project Directory")).toString().toStdString(), other);
  EXPECT_NE(Find({"Q", "Cement", "3Cem"}), nullptr);
}

TEST_F(FileCommands, OpenAndNewThroughTheMenu) {
  fs::create_directories(Projects());
  Save(tmp / "elsewhere/7Sub.lng", testdata::FillTypicalRecord);
  ASSERT_TRUE(Start());
  std::string askedIn;
  app->Commands()->m_openDialogOverride = [&](const std::string& folder) {
    askedIn = folder;
    return std::optional<std::string>(tmp / "elsewhere/7Sub.lng");
  };
  Frame()->Action(ID_FILE_OPEN)->trigger();
  EXPECT_EQ(askedIn, Projects());
  EXPECT_EQ(Record().m_strProject, "MAIN ST");
  EXPECT_EQ(Frame()->windowTitle().toStdString(), "7Sub.lng - Densora");
  ASSERT_FALSE(app->RecentFiles().empty());
  EXPECT_EQ(app->RecentFiles().front(), tmp / "elsewhere/7Sub.lng");

  Record().m_strStation = "changed";
  Doc().SetModifiedFlag(true);
  prompt.Plan({MsgAnswer::Cancel});
  Frame()->Action(ID_FILE_NEW)->trigger();
  EXPECT_EQ(Record().m_strStation, "changed");
  prompt.Plan({MsgAnswer::No});
  Frame()->Action(ID_FILE_NEW)->trigger();
  EXPECT_TRUE(Record().m_strStation.empty());
  EXPECT_TRUE(Record().m_strProject.empty());
}

TEST_F(FileCommands, TheReportPrintsToAPdfPrinter) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(tmp / "report.pdf"));
  app->Commands()->PrintReport(printer);
  EXPECT_GT(fs::file_size(tmp / "report.pdf"), 1000u);
  EXPECT_FALSE(Doc().IsModified());  // printing refits but changes nothing the user entered
}

TEST_F(FileCommands, TheProgramsPrinterPrintsThePageAt600Dpi) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  QPrinter& printer = app->Commands()->Printer();
  EXPECT_EQ(printer.resolution(), 600);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(tmp / "program.pdf"));
  app->Commands()->PrintReport(printer);
  EXPECT_GT(fs::file_size(tmp / "program.pdf"), 1000u);
}

TEST_F(FileCommands, APrintedChartWithAWarningSoundsTheTone) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(tmp / "plain.pdf"));
  const int before = tone.plays;
  app->Commands()->PrintReport(printer);
  EXPECT_EQ(tone.plays, before);  // a plausible curve prints silently

  testdata::SetPoint(Doc().m_record, 4, 35.0, 90.0);  // over 30 % moisture: implausible
  printer.setOutputFileName(QString::fromStdString(tmp / "warning.pdf"));
  app->Commands()->PrintReport(printer);
  EXPECT_EQ(tone.plays, before + 1);
  EXPECT_EQ(tone.lastFrequency, 1500);
}

TEST_F(FileCommands, ExportReportWritesThePrintedPageAsAPdfAndLeavesTheRecordAlone) {
  const std::string file = Projects() + "/MAIN ST/A-100/Subgrade/7Sub.lng";
  Save(file, testdata::FillTypicalRecord);
  ASSERT_TRUE(Start({QString::fromStdString(file)}));
  Record().m_strStation = "13+00 LT";  // an edit not yet saved
  Doc().SetModifiedFlag(true);
  View()->Curve().FitRecord();
  const std::vector<unsigned char> before = LngBytes(Record());

  std::vector<std::string> proposed;
  app->Commands()->m_exportDialogOverride = [&](const std::string& path) {
    proposed.push_back(path);
    return std::optional<std::string>(tmp / "report");  // typed without an extension
  };
  Frame()->Action(ID_FILE_EXPORT_REPORT)->trigger();
  EXPECT_EQ(proposed, std::vector<std::string>{Projects() + "/MAIN ST/A-100/Subgrade/7Sub.pdf"});
  EXPECT_TRUE(prompt.shown.empty()) << prompt.shown[0].text;
  const std::vector<unsigned char> pdf = testdata::ReadBytes(tmp / "report.pdf");
  ASSERT_GT(pdf.size(), 1000u);
  EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().GetPathName(), file);
  EXPECT_EQ(LngBytes(Record()), before);

  // A record never saved: its derived name, in the projects directory.
  prompt.Plan({MsgAnswer::No});  // the edit is not saved
  Frame()->Action(ID_FILE_NEW)->trigger();
  testdata::FillTypicalRecord(Doc());
  Doc().SetModifiedFlag(false);
  Frame()->Action(ID_FILE_EXPORT_REPORT)->trigger();
  ASSERT_EQ(proposed.size(), 2u);
  EXPECT_EQ(proposed[1], Projects() + "/7Sub.pdf");
  EXPECT_FALSE(Doc().IsModified());
}

// An export whose file cannot be written says why with the file's stock text and leaves no
// file, no temporary file and what was at the path as it was.
TEST_F(FileCommands, AnExportThatCannotBeWrittenIsReportedAndWritesNothing) {
  ASSERT_TRUE(Start());
  testdata::FillTypicalRecord(Doc());
  const std::string fifo = tmp / "out/pipe.pdf";
  fs::create_directories(tmp / "out");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string target;
    std::string message;
  } cases[] = {
      {fifo, fifo + " is not a regular file."},
      {tmp / "out/missing/report.pdf", tmp / "out/missing/report.pdf contains an invalid path."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    prompt.shown.clear();
    app->Commands()->m_exportDialogOverride = [&](const std::string&) {
      return std::optional<std::string>(c.target);
    };
    Frame()->Action(ID_FILE_EXPORT_REPORT)->trigger();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, c.message);
    EXPECT_EQ(prompt.shown[0].icon, framework::MsgIcon::Stop);
  }
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(tmp / "out")) left.push_back(e.path().string());
  EXPECT_EQ(left, std::vector<std::string>{fifo});
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_FALSE(Doc().IsModified());
}

// The summary's progress window, shown once the reading takes half a second, has a Cancel
// button; once it is pressed the reading is told to stop.
TEST_F(FileCommands, TheSummarysProgressWindowCanBeCancelled) {
  ASSERT_TRUE(Start());
  CAppCommands& host = *app->Commands();
  EXPECT_TRUE(host.Progress(0));
  auto* dialog = Frame()->findChild<QProgressDialog*>();
  ASSERT_NE(dialog, nullptr);
  for (int i = 0; i < 100 && !dialog->isVisible(); ++i) QTest::qWait(20);
  ASSERT_TRUE(dialog->isVisible());
  auto* cancel = dialog->findChild<QPushButton*>();
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Cancel");
  EXPECT_TRUE(host.Progress(1));
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_FALSE(host.Progress(2));
  host.EndProgress();
  EXPECT_EQ(Frame()->findChild<QProgressDialog*>(), nullptr);
}

// The summary of the projects directory, or of the folder selected in the tree: the CSV's
// header and a row for each test in the tree's order, a file that cannot be read among them
// with its message, and a word on how many could not be read.
TEST_F(FileCommands, ExportProjectSummaryWritesARowForEachTestOfTheSelectedFolder) {
  fs::copy(DENSORA_SAMPLES_DIR, Projects(), fs::copy_options::recursive);
  testdata::WriteBytes(Projects() + "/MAIN ST/bad.lng", {'n', 'o', 't'});
  ASSERT_TRUE(Start());
  std::string header;
  // The columns of the laboratory's percentages too: 95 where nothing was set.
  for (const std::string& column : SummaryColumns(Doc().m_dRelativeCompaction)) {
    header += (header.empty() ? "" : ",") + column;
  }
  const struct {
    QStringList selected;  // nothing: the whole projects directory
    std::string proposed;
    std::vector<std::string> paths;
  } cases[] = {
      {{},
       Projects() + "/projects-summary.csv",
       {"COUNTY RD 9/Lime/12Lim.lng", "MAIN ST/A-100/Embankment/3Emb.lng",
        "MAIN ST/A-100/Subgrade/7Sub.lng", "MAIN ST/bad.lng"}},
      {{"MAIN ST"},
       Projects() + "/MAIN ST-summary.csv",
       {"A-100/Embankment/3Emb.lng", "A-100/Subgrade/7Sub.lng", "bad.lng"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.proposed);
    if (!c.selected.isEmpty()) Tree().setCurrentItem(Find(c.selected));
    testdata::FillTypicalRecord(Doc());
    Doc().SetModifiedFlag(true);
    const std::vector<unsigned char> record = LngBytes(Record());
    prompt.shown.clear();
    std::string proposed;
    app->Commands()->m_exportDialogOverride = [&](const std::string& path) {
      proposed = path;
      return std::optional<std::string>(tmp / "summary");
    };
    Frame()->Action(ID_FILE_EXPORT_SUMMARY)->trigger();
    EXPECT_EQ(proposed, c.proposed);

    const std::vector<unsigned char> bytes = testdata::ReadBytes(tmp / "summary.csv");
    std::istringstream csv(std::string(bytes.begin(), bytes.end()));
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, header + "\r");
    std::vector<std::string> paths;
    while (std::getline(csv, line)) paths.push_back(line.substr(0, line.find(',')));
    EXPECT_EQ(paths, c.paths);
    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{"The summary was written, but 1 file could not be read. "
                                       "Its error column tells why."});
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(LngBytes(Record()), record);
    Doc().SetModifiedFlag(false);
  }
}
