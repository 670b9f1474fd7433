#pragma once
// The main window: menu bar, key table, toolbar, status bar and, in the client area, the
// main form view. The frame routes every command: Save is taken before anything else, and
// each command runs the handler connected to its identifier. The document commands, the
// tree's commands and printing connect their handlers with SetCommandHandler and
// SetCloseHandler; a command without a handler says so and changes nothing.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/document.h"

class CDensoraDoc;
class CDensoraView;
class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QTimer;
class QToolBar;

class CMainFrame : public QMainWindow, public framework::CView {
  Q_OBJECT
 public:
  using Handler = std::function<void()>;

  explicit CMainFrame(CDensoraDoc& doc);
  ~CMainFrame() override;

  // Builds the menu bar, the key table, the toolbar and the status bar. False when one of
  // them could not be made.
  bool OnCreate();
  // Puts the form view into the client area (it scrolls when the window is smaller).
  void SetView(CDensoraView* view);

  CDensoraDoc* GetActiveDocument() const { return &m_doc; }

  // Runs a command as the menu, a key or a button does. Save is taken first, from every
  // source. Returns true when the command had a handler.
  bool OnCommand(int id);
  // Connects the handler of a command; an empty handler disconnects it.
  void SetCommandHandler(int id, Handler handler);
  bool HasCommandHandler(int id) const;
  // The close request (system menu, Alt+F4, File Exit): the handler returns true when the
  // window may close.
  void SetCloseHandler(std::function<bool()> handler) { m_closeHandler = std::move(handler); }
  // A file chosen from the recent-file list.
  void SetRecentFileHandler(std::function<void(const std::string&)> handler) {
    m_recentHandler = std::move(handler);
  }
  // The look at what other programs changed on disk (another technician on a shared
  // folder): run every kLookIntervalMs and whenever the window becomes active, but not
  // while a dialog waits for an answer.
  static constexpr int kLookIntervalMs = 3000;
  void SetLookHandler(Handler look) { m_lookHandler = std::move(look); }
  // Shows the recent-file list (most recent first) in the File menu.
  void SetRecentFiles(const std::vector<std::string>& files);

  QAction* Action(int id) const;
  // The name a command goes by on its toolbar button, in its dialog's title and in the
  // message that it cannot be used yet ("This" for one the table does not know).
  static QString CommandName(int id);
  QToolBar* ToolBar() const { return m_pToolBar; }
  QLabel* MessagePane() const { return m_pReady; }
  // The Caps Lock, Num Lock and Scroll Lock indicators.
  QLabel* Indicator(int index) const { return m_pIndicators[static_cast<std::size_t>(index)]; }

  // The caption: the document's title, " - ", "Densora".
  void UpdateFrameTitle();
  void OnUpdate(framework::CView* sender, long hint) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The action of a command, with its texts and key from the command table.
  QAction* AddCommand(QMenu* menu, int id);
  void CreateFileMenu();
  void CreateViewAndHelpMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void UpdateIndicators();
  void Look();
  // A command whose handler is not connected: says so.
  void ReportUnavailable(int id);

  CDensoraDoc& m_doc;
  QPointer<CDensoraView> m_pView;
  QScrollArea* m_pScroll = nullptr;
  QToolBar* m_pToolBar = nullptr;
  QMenu* m_pFileMenu = nullptr;
  QAction* m_pRecentSeparator = nullptr;
  QLabel* m_pReady = nullptr;
  std::array<QLabel*, 3> m_pIndicators{};
  QTimer* m_pIndicatorTimer = nullptr;
  QTimer* m_pLookTimer = nullptr;
  std::map<int, QAction*> m_actions;
  std::map<int, Handler> m_handlers;
  std::vector<QAction*> m_recentActions;
  std::vector<std::string> m_recentFiles;
  std::function<bool()> m_closeHandler;
  std::function<void(const std::string&)> m_recentHandler;
  Handler m_lookHandler;
};
