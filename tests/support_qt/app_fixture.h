#pragma once
// A running Densora for widget tests: settings and the user's data folder in a temporary
// folder, the scripted prompt, a counting tone, the main window shown and active.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/densora_app.h"
#include "app/main_frame.h"
#include "model/densora_doc.h"
#include "support/counting_tone.h"
#include "support/records.h"
#include "support/scripted_prompt.h"
#include "views/densora_view.h"
#include "views/dialog_template.h"
#include "views/tab_page.h"

class AppFixture : public ::testing::Test {
 protected:
  // Points the settings and the data folder at the temporary folder; `projectsDir` is
  // stored as the "Project Directory" setting unless empty.
  void PrepareSettings(const std::string& projectsDir) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(tmp / "config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(tmp / "config"));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(tmp / "config"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(tmp / "data"));
    if (!projectsDir.empty()) {
      QSettings s(QStringLiteral("Vollin"), QStringLiteral("Densora"));
      s.setValue(QStringLiteral("Project Directory"), QString::fromStdString(projectsDir));
    }
  }

  // Starts the program with `arguments` after the program's name.
  bool Start(const QStringList& arguments = {}, bool registerFileType = false) {
    if (!prepared) PrepareSettings(tmp / "projects");
    app = std::make_unique<CDensoraApp>();
    CDensoraApp::Options o;
    o.tone = &tone;
    o.installPrompt = false;
    o.registerFileType = registerFileType;
    o.runDesktopTools = false;
    o.show = true;
    QStringList args{QStringLiteral("densora")};
    args << arguments;
    const bool ok = app->InitInstance(args, o);
    if (ok) {
      QApplication::setActiveWindow(Frame());
      EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
    }
    return ok;
  }

  void TearDown() override {
    app.reset();
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
  }

  CMainFrame* Frame() const { return app->MainFrame(); }
  CDensoraView* View() const { return app->View(); }
  CDensoraDoc& Doc() const { return app->Document(); }
  CompactionRecord& Record() const { return app->Document().m_record; }

  // Selects tab `index` with a mouse click on it.
  void ClickTab(int index) {
    QTabBar* bar = View()->Tabs().tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }
  CTabPage* Page(int tabIndex) const {
    View()->Tabs().setCurrentIndex(tabIndex);
    return View()->GetCurrentPage();
  }
  template <class T = QLineEdit>
  T* Ctl(CTabPage* page, int id) const {
    return page->ControlAs<T>(id);
  }
  QWidget* FocusWidget() const { return Frame()->focusWidget(); }

  // Focus moved by the user: a click into the control.
  static void ClickInto(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
  }
  // Replaces the whole text of an edit as a user does: select all, then type.
  static void TypeOver(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(edit, Qt::Key_Delete);
    } else {
      QTest::keyClicks(edit, text);
    }
  }

  testdata::TempDir tmp;
  bool prepared = false;
  ScriptedPrompt prompt;
  CountingTone tone;
  std::unique_ptr<CDensoraApp> app;
};
