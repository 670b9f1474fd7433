#pragma once
// Command identifiers of the menu, the key table and the toolbar.
enum CommandId : int {
  ID_FILE_NEW = 57600,
  ID_FILE_OPEN = 57601,
  ID_FILE_SAVE = 57603,
  ID_FILE_PRINT_SETUP = 57606,
  ID_FILE_PRINT = 57607,
  ID_FILE_PRINT_DIRECT = 57608,
  ID_FILE_PRINT_PREVIEW = 57609,
  ID_FILE_MRU_FILE1 = 57616,  // to ID_FILE_MRU_FILE1 + 3
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
  ID_FILE_DELETE = 32771,
  ID_FILE_CHANGE_PROJECTS_DIR = 32773,
};

inline constexpr int kRecentFileCount = 4;
