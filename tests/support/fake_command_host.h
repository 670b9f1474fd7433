#pragma once
// The desktop around the document commands, for tests and benchmarks: the dialogs give the
// planned answers, and every call is recorded.
#include <optional>
#include <string>
#include <vector>

#include "file/document_commands.h"

struct FakeCommandHost : CommandHost {
  std::optional<std::string> AskOpenFileName(const std::string& folder) override {
    openDialogFolders.push_back(folder);
    return openAnswer;
  }
  std::optional<std::string> AskSaveFileName(const std::string& proposed) override {
    saveDialogProposals.push_back(proposed);
    return saveAnswer;
  }
  std::optional<std::string> AskExportFileName(const std::string& proposed,
                                               const ExportType&) override {
    exportDialogProposals.push_back(proposed);
    return exportAnswer;
  }
  std::optional<std::string> AskProjectsDirectory() override { return dirAnswer; }
  std::optional<std::string> AskSamplesFolder() override { return samplesAnswer; }
  void StoreProjectsDirectory(const std::string& f) override { stored.push_back(f); }
  void DocumentOpened(const std::string& p) override { opened.push_back(p); }
  void DocumentOpenFailed(const std::string& p) override { failed.push_back(p); }
  void RefreshTree() override { ++refreshes; }
  bool Progress(std::size_t filesRead) override {
    progress.push_back(filesRead);
    return !stopAt || filesRead < *stopAt;
  }
  void EndProgress() override { ++progressEnds; }

  std::optional<std::string> openAnswer, saveAnswer, exportAnswer, dirAnswer, samplesAnswer;
  std::vector<std::string> openDialogFolders, saveDialogProposals, exportDialogProposals, stored,
      opened, failed;
  std::vector<std::size_t> progress;
  // The user stops a reading once this many files are read.
  std::optional<std::size_t> stopAt;
  int refreshes = 0;
  int progressEnds = 0;
};
