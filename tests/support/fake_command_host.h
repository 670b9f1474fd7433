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
  std::optional<std::string> AskProjectsDirectory() override { return dirAnswer; }
  void StoreProjectsDirectory(const std::string& f) override { stored.push_back(f); }
  void DocumentOpened(const std::string& p) override { opened.push_back(p); }
  void DocumentOpenFailed(const std::string& p) override { failed.push_back(p); }
  void RefreshTree() override { ++refreshes; }

  std::optional<std::string> openAnswer, saveAnswer, dirAnswer;
  std::vector<std::string> openDialogFolders, saveDialogProposals, stored, opened, failed;
  int refreshes = 0;
};
