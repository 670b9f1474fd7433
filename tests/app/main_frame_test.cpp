// The main frame: menu, keys, toolbar, status bar, command routing and the close request.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>

#include "app/about_dialog.h"
#include "app/app_commands.h"
#include "app/help.h"
#include "app/resource.h"
#include "support_qt/app_fixture.h"
#include "views/project_info_page.h"
#include "views/project_tree.h"

using MainFrame = AppFixture;

namespace {
QStringList MenuTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      texts << "-";
    } else if (a->isVisible()) {
      texts << a->text() + (a->shortcut().isEmpty() ? QString() : "\t" + a->shortcut().toString());
    }
  }
  return texts;
}
}  // namespace

TEST_F(MainFrame, HasTheFileViewToolsAndHelpMenus) {
  ASSERT_TRUE(Start());
  const auto menus = Frame()->menuBar()->actions();
  ASSERT_EQ(menus.size(), 4);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "&View");
  EXPECT_EQ(menus[2]->text(), "&Tools");
  EXPECT_EQ(menus[3]->text(), "&Help");
  EXPECT_EQ(MenuTexts(menus[0]->menu()),
            (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "&Delete",
                         "&Change Projects Directory\tCtrl+C", "-", "&Print...\tCtrl+P",
                         "Print Pre&view", "P&rint Setup...", "-", "&Export Report as PDF...",
                         "Export Project Su&mmary...", "-", "Recent File", "-", "E&xit"}));
  EXPECT_FALSE(Frame()->Action(ID_FILE_MRU_FILE1)->isEnabled());
  EXPECT_EQ(MenuTexts(menus[1]->menu()), (QStringList{"&Toolbar", "&Status Bar"}));
  EXPECT_EQ(MenuTexts(menus[2]->menu()), (QStringList{"&Relative Compaction..."}));
  EXPECT_EQ(MenuTexts(menus[3]->menu()),
            (QStringList{"Densora &Help\tF1", "Open &Sample Tests...", "-", "&About Densora..."}));
  // Within a menu, each key underlined reaches one command.
  for (QAction* menu : menus) {
    QStringList keys;
    for (QAction* a : menu->menu()->actions()) {
      const qsizetype at = a->text().indexOf('&');
      if (!a->isSeparator() && at >= 0) keys << a->text().mid(at + 1, 1).toLower();
    }
    EXPECT_EQ(keys.removeDuplicates(), 0) << menu->text().toStdString();
  }
  EXPECT_EQ(Frame()->Action(ID_FILE_EXPORT_REPORT)->statusTip(), "Export the report as a PDF file");
  EXPECT_EQ(Frame()->Action(ID_FILE_EXPORT_SUMMARY)->statusTip(),
            "Export a summary of the tests in the projects directory as a CSV file");
  EXPECT_EQ(Frame()->Action(ID_FILE_DELETE)->statusTip(), "Deletes Selected File or Directory");
  EXPECT_TRUE(Frame()->Action(ID_FILE_CHANGE_PROJECTS_DIR)->statusTip().isEmpty());
}

TEST_F(MainFrame, ToolbarButtonsInOrderWithTips) {
  ASSERT_TRUE(Start());
  QStringList order;
  for (QAction* a : Frame()->ToolBar()->actions()) order << (a->isSeparator() ? "-" : a->toolTip());
  EXPECT_EQ(order,
            (QStringList{"New", "Open", "Save", "-", "Print", "Print Preview", "-", "About"}));
  EXPECT_EQ(Frame()->ToolBar()->iconSize(), QSize(16, 16));
  for (QAction* a : Frame()->ToolBar()->actions()) {
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->icon().isNull());
      EXPECT_FALSE(a->statusTip().isEmpty());
    }
  }
}

// The window and the projects tree show the pictures that are installed into the icon
// theme: the program's icon on the window, the document icon on each test.
TEST_F(MainFrame, TheWindowAndTheTreeShowTheInstalledPictures) {
  CDensoraDoc test;
  testdata::FillTypicalRecord(test);
  std::filesystem::create_directories(tmp / "projects");
  ASSERT_TRUE(test.OnSaveDocument(tmp / "projects/7Sub.lng"));
  ASSERT_TRUE(Start());
  QTreeWidget& tree = View()->Tree();
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  const struct {
    QIcon shown;
    const char* picture;
    int size;
  } kCases[] = {
      {Frame()->windowIcon(), "densora", 16},
      {Frame()->windowIcon(), "densora", 48},
      {Frame()->windowIcon(), "densora", 256},
      {tree.topLevelItem(0)->icon(0), "application-x-densora-compaction", 16},
  };
  for (const auto& c : kCases) {
    const QString file =
        QStringLiteral(DENSORA_RES_DIR "/icons/%1x%1/%2.png").arg(c.size).arg(c.picture);
    const QImage installed = QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_FALSE(installed.isNull()) << file.toStdString();
    EXPECT_EQ(c.shown.pixmap(c.size, c.size)
                  .toImage()
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied),
              installed)
        << c.picture << " at " << c.size;
  }
}

TEST_F(MainFrame, StatusBarSaysReadyWithThreeLockIndicators) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->MessagePane()->text(), "Ready");
  EXPECT_EQ(Frame()->Indicator(0)->objectName(), "CAP");
  EXPECT_EQ(Frame()->Indicator(1)->objectName(), "NUM");
  EXPECT_EQ(Frame()->Indicator(2)->objectName(), "SCRL");
  // A menu prompt covers "Ready" while it shows.
  Frame()->statusBar()->showMessage(Frame()->Action(ID_FILE_DELETE)->statusTip());
  EXPECT_EQ(Frame()->statusBar()->currentMessage(), "Deletes Selected File or Directory");
  EXPECT_FALSE(Frame()->MessagePane()->isVisible());
  Frame()->statusBar()->clearMessage();
  EXPECT_TRUE(Frame()->MessagePane()->isVisible());
}

TEST_F(MainFrame, SaveRunsItsHandlerFromEverySource) {
  ASSERT_TRUE(Start());
  int saves = 0;
  Frame()->SetCommandHandler(ID_FILE_SAVE, [&] { ++saves; });
  Frame()->Action(ID_FILE_SAVE)->trigger();
  QWidget* project = View()->ProjectInfoPage()->Control(CProjectInfoPage::IDC_PROJECT);
  QTest::keyClick(project, Qt::Key_S, Qt::ControlModifier);
  auto* button = qobject_cast<QToolButton*>(
      Frame()->ToolBar()->widgetForAction(Frame()->Action(ID_FILE_SAVE)));
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(saves, 3);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(MainFrame, CtrlCCopiesAndDoesNotChangeTheProjectsDirectory) {
  ASSERT_TRUE(Start());
  int changes = 0;
  Frame()->SetCommandHandler(ID_FILE_CHANGE_PROJECTS_DIR, [&] { ++changes; });
  auto* project = Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT);
  QTest::keyClicks(project, "abc");
  project->selectAll();
  QTest::keyClick(project, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(changes, 0);
  Frame()->Action(ID_FILE_CHANGE_PROJECTS_DIR)->trigger();
  EXPECT_EQ(changes, 1);
}

TEST_F(MainFrame, KeysReachTheirCommands) {
  ASSERT_TRUE(Start());
  std::vector<int> ran;
  for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT}) {
    Frame()->SetCommandHandler(id, [&ran, id] { ran.push_back(id); });
  }
  QWidget* w = View()->ProjectInfoPage()->Control(CProjectInfoPage::IDC_STATION);
  QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(ran, (std::vector<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT}));
}

TEST_F(MainFrame, ACommandWithoutItsHandlerSaysSoAndChangesNothing) {
  ASSERT_TRUE(Start());
  QTest::keyClicks(Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT), "x");
  for (int id : {ID_FILE_NEW, ID_FILE_SAVE, ID_FILE_DELETE, ID_FILE_PRINT_PREVIEW}) {
    Frame()->SetCommandHandler(id, {});
    prompt.shown.clear();
    EXPECT_FALSE(Frame()->OnCommand(id));
    ASSERT_EQ(prompt.shown.size(), 1u) << id;
    EXPECT_NE(prompt.shown[0].text.find("not available"), std::string::npos);
  }
  EXPECT_EQ(Record().m_strProject, "X");
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(MainFrame, TheCloseRequestAsksItsHandler) {
  ASSERT_TRUE(Start());
  int asked = 0;
  bool allow = false;
  Frame()->SetCloseHandler([&] {
    ++asked;
    return allow;
  });
  Frame()->Action(ID_APP_EXIT)->trigger();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(Frame()->isVisible());
  allow = true;
  Frame()->close();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(Frame()->isVisible());
}

TEST_F(MainFrame, WithoutTheSaveCheckAModifiedRecordIsNotDroppedSilently) {
  ASSERT_TRUE(Start());
  QTest::keyClicks(Ctl(View()->ProjectInfoPage(), CProjectInfoPage::IDC_PROJECT), "x");
  prompt.Plan({framework::MsgAnswer::No});
  Frame()->close();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].buttons, framework::MsgButtons::YesNo);
  EXPECT_TRUE(Frame()->isVisible());
  prompt.Plan({framework::MsgAnswer::Yes});
  Frame()->close();
  EXPECT_FALSE(Frame()->isVisible());
}

TEST_F(MainFrame, APrinterThatDoesNotStartIsReported) {
  ASSERT_TRUE(Start());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(tmp / "no such folder") +
                            QStringLiteral("/report.pdf"));
  prompt.shown.clear();
  app->Commands()->PrintReport(printer);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("could not be printed"), std::string::npos);
}

TEST_F(MainFrame, ViewMenuHidesAndShowsTheBars) {
  ASSERT_TRUE(Start());
  Frame()->Action(ID_VIEW_TOOLBAR)->trigger();
  EXPECT_FALSE(Frame()->ToolBar()->isVisible());
  EXPECT_FALSE(Frame()->Action(ID_VIEW_TOOLBAR)->isChecked());
  Frame()->Action(ID_VIEW_TOOLBAR)->trigger();
  EXPECT_TRUE(Frame()->ToolBar()->isVisible());
  Frame()->Action(ID_VIEW_STATUS_BAR)->trigger();
  EXPECT_FALSE(Frame()->statusBar()->isVisible());
}

TEST_F(MainFrame, RecentFilesAppearAndRunTheirHandler) {
  ASSERT_TRUE(Start());
  std::string opened;
  Frame()->SetRecentFileHandler([&](const std::string& p) { opened = p; });
  Frame()->SetRecentFiles({"/a/7Sub.lng", "/b/3Emb.lng"});
  EXPECT_EQ(Frame()->Action(ID_FILE_MRU_FILE1)->text(), "&1 /a/7Sub.lng");
  EXPECT_TRUE(Frame()->Action(ID_FILE_MRU_FILE1 + 1)->isVisible());
  EXPECT_FALSE(Frame()->Action(ID_FILE_MRU_FILE1 + 2)->isVisible());
  Frame()->Action(ID_FILE_MRU_FILE1 + 1)->trigger();
  EXPECT_EQ(opened, "/b/3Emb.lng");
}

TEST_F(MainFrame, TheAboutBoxNamesTheProgramAndFitsItsTexts) {
  ASSERT_TRUE(Start());
  CAboutDlg about(Frame());
  about.show();
  const auto labels = about.findChildren<QLabel*>();
  bool named = false;
  for (QLabel* l : labels) {
    if (l->text().startsWith("Densora Version ")) named = true;
    if (l->pixmap().isNull()) {
      EXPECT_TRUE(about.rect().contains(l->geometry())) << l->text().toStdString();
      EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
    }
  }
  EXPECT_TRUE(named);
  EXPECT_EQ(about.windowTitle(), "About Densora");
}

// The guide installed beside the program is shown; a program run from its build folder,
// with nothing installed, shows the source tree's copy.
TEST(HelpGuide, TheInstalledGuideComesFirstThenTheSourceTreesCopy) {
  testdata::TempDir tmp;
  const std::string programDir = tmp / "usr/bin";
  const std::string installed = help::InstalledGuide(programDir);
  EXPECT_EQ(installed, tmp / "usr/share/densora/help/index.html");
  const std::string source = tmp / "src/res/help/index.html";
  const struct {
    bool installed, source;
    std::optional<std::string> found;
  } cases[] = {
      {true, true, installed},
      {false, true, source},
      {false, false, std::nullopt},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(tmp.path());
    for (const auto& [present, path] : {std::pair{c.installed, installed}, {c.source, source}}) {
      if (!present) continue;
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      testdata::WriteBytes(path, {'<'});
    }
    EXPECT_EQ(help::FindGuide(programDir, tmp / "src"), c.found);
  }
}

// F1 shows the guide through xdg-open, which starts whatever the desktop has: its exit status
// says whether a browser took the guide. Without one, Densora says where the guide's file is,
// once the opener has answered; meanwhile the window goes on.
TEST_F(MainFrame, HelpWithoutABrowserSaysWhereTheGuideIs) {
  ASSERT_TRUE(Start());
  const std::string guide = std::string(DENSORA_RES_DIR) + "/help/index.html";
  const std::string notShown =
      "No web browser could be started to show Densora Help. The guide is " + guide + ".";
  testdata::TempDir dir;
  const std::string asked = dir / "asked";
  const struct {
    const char* opener;
    QStringList command;
    bool shown;
  } cases[] = {
      // xdg-open's answer when it finds no browser: 3, "a required tool could not be found".
      {"no browser",
       {"sh", "-c", "echo \"$1\" > \"$0\"; exit 3", QString::fromStdString(asked)},
       false},
      {"a browser", {"sh", "-c", "echo \"$1\" > \"$0\"", QString::fromStdString(asked)}, true},
      {"no opener at all", {"/nonexistent/xdg-open"}, false},
  };
  for (const auto& c : cases) {
    prompt.shown.clear();
    std::filesystem::remove(asked);
    app->Commands()->m_browserCommand = c.command;
    QTest::keyClick(Frame(), Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Commands()->BrowsersStarting() == 0; }, 10000))
        << c.opener;
    EXPECT_EQ(prompt.Texts(),
              c.shown ? std::vector<std::string>{} : std::vector<std::string>{notShown})
        << c.opener;
    if (c.command.size() > 1) {
      const std::vector<unsigned char> url = testdata::ReadBytes(asked);
      EXPECT_EQ(std::string(url.begin(), url.end()),
                QUrl::fromLocalFile(QString::fromStdString(guide)).toString().toStdString() + "\n")
          << c.opener;
    }
  }
}
