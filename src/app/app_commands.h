#pragma once
// The desktop side of the document commands: the file and directory dialogs, the settings,
// the projects tree and printing, connected to the main frame's commands.
#include <functional>
#include <memory>

#include "file/document_commands.h"

class CDensoraApp;
class CProjectTree;
class QPrinter;
class QTreeWidgetItem;

class CAppCommands : public CommandHost {
 public:
  explicit CAppCommands(CDensoraApp& app);
  ~CAppCommands() override;

  // Connects New, Open, Save, Delete, Change Projects Directory, the close request, the
  // recent files, printing and the tree.
  void Connect();

  std::optional<std::string> AskOpenFileName(const std::string& initialFolder) override;
  std::optional<std::string> AskSaveFileName(const std::string& proposedPath) override;
  std::optional<std::string> AskProjectsDirectory() override;
  void StoreProjectsDirectory(const std::string& folder) override;
  void DocumentOpened(const std::string& path) override;
  void DocumentOpenFailed(const std::string& path) override;
  void RefreshTree() override;

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
  std::function<std::optional<std::string>()> m_dirDialogOverride;

 private:
  void OnTreeSelectionChanged();
  void OnFilePrint(bool withDialog);
  void OnFilePrintPreview();
  void OnFilePrintSetup();

  CDensoraApp& m_app;
  std::unique_ptr<CDocumentCommands> m_pCommands;
  std::unique_ptr<QPrinter> m_pPrinter;
  bool m_bFilling = false;
};
