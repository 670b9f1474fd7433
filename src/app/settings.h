#pragma once
// The program's settings: the projects directory, the relative-compaction percentages and
// the recent-file list, kept per user
// under the organisation "Vollin" and the application "Densora" (on Linux
// ~/.config/Vollin/Densora.conf). When a folder, pipe, socket or device stands in place of
// that file or of its lock, the settings are the defaults and nothing is written.
#include <string>
#include <vector>

namespace settings {

// The status bar's note when the settings cannot be kept, naming what is in their way;
// empty when they can.
std::string Note();

// $HOME/Densora.
std::string DefaultProjectsDir();
// "Project Directory", at the top level; the default when it was never set. UTF-8.
std::string ReadProjectsDir();
void WriteProjectsDir(const std::string& folder);
// Creates the projects directory as one folder when nothing of that name exists. Parent
// folders are not created and a failure is not reported: the tree then shows nothing.
void EnsureProjectsDir(const std::string& folder);

// "Relative Compaction", at the top level: the laboratory's relative-compaction
// percentages as a list ("90,95", the empty text for none). 95 when it was never set or what
// is kept is not such a list; densora-cli reads the same setting.
std::vector<double> ReadRelativeCompaction();
void WriteRelativeCompaction(const std::vector<double>& percents);

// "Recent File List": "File1" (most recent) to "File4".
std::vector<std::string> ReadRecentFiles();
void WriteRecentFiles(const std::vector<std::string>& files);

}  // namespace settings
