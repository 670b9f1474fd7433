#pragma once
// The desktop side of the document commands: the file and directory dialogs, the settings,
// the projects tree and printing, connected to the main frame's commands.
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

#include "file/document_commands.h"

class CDensoraApp;
class CProjectTree;
class QPrinter;
class QProgressDialog;
class QTreeWidgetItem;

class CAppCommands : public CommandHost {
 public:
  explicit CAppCommands(CDensoraApp& app);
  ~CAppCommands() override;

  // Connects New, Open, Save, Delete, Change Projects Directory, the close request, the
  // recent files, printing, the exports, the help and the tree.
  void Connect();

  std::optional<std::string> AskOpenFileName(const std::string& initialFolder) override;
  std::optional<std::string> AskSaveFileName(const std::string& proposedPath) override;
  std::optional<std::string> AskExportFileName(const std::string& proposedPath,
                                               const ExportType& type) override;
  std::optional<std::string> AskProjectsDirectory() override;
  std::optional<std::string> AskSamplesFolder() override;
  void StoreProjectsDirectory(const std::string& folder) override;
  void DocumentOpened(const std::string& path) override;
  void DocumentOpenFailed(const std::string& path) override;
  void RefreshTree() override;
  // A progress window with a Cancel button, shown when the reading takes a while, and the
  // wait cursor. False once the user pressed Cancel.
  bool Progress(std::size_t filesRead) override;
  void EndProgress() override;

  CDocumentCommands& Commands() { return *m_pCommands; }
  // Lists the tree's top level again and opens the current record's folders.
  void FillTree(CProjectTree& tree);
  // Draws the report on a printer (or the preview's printer).
  void PrintReport(QPrinter& printer);
  // The printer of Print, Print Preview and Print Setup, made on first use at 600 dpi.
  QPrinter& Printer();

  // Replaces the dialogs, for tests.
  std::function<std::optional<std::string>(const std::string&)> m_openDialogOverride;
  std::function<std::optional<std::string>(const std::string&)> m_saveDialogOverride;
  std::function<std::optional<std::string>(const std::string&)> m_exportDialogOverride;
  std::function<std::optional<std::string>()> m_dirDialogOverride;
  std::function<std::optional<std::string>()> m_samplesDialogOverride;
  // The program that shows the guide, with its first arguments; the guide's URL follows
  // them. On a desktop of freedesktop.org's kind it is xdg-open, whose exit status says
  // whether a browser took the guide; empty, the platform's own way of opening a URL.
  QStringList m_browserCommand;
  // The guide's browsers started and not yet heard back from.
  int BrowsersStarting() const { return m_nBrowsersStarting; }

 private:
  void OnTreeSelectionChanged();
  void OnFilePrint(bool withDialog);
  void OnFilePrintPreview();
  void OnFilePrintSetup();
  void OnFileExportReport();
  void OnFileExportSummary();
  void OnHelpContents();
  void OnHelpOpenSamples();

  CDensoraApp& m_app;
  std::unique_ptr<CDocumentCommands> m_pCommands;
  std::unique_ptr<QPrinter> m_pPrinter;
  std::unique_ptr<QProgressDialog> m_pProgress;
  std::chrono::steady_clock::time_point m_lastProgress;
  bool m_bFilling = false;
  int m_nBrowsersStarting = 0;
};
