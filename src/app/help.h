#pragma once
// Densora Help: a guide to the program as one HTML page, installed with it and shown in the
// user's web browser.
#include <optional>
#include <string>

namespace help {

// Where the installation of a program in `programDir` (its <prefix>/bin) keeps the guide:
// <prefix>/share/densora/help/index.html, with the data folder the build installs to.
std::string InstalledGuide(const std::string& programDir);

// The guide to show: the installed copy when it is there; else, for a program run from its
// build folder, the copy in the source tree `sourceDir` (res/help/index.html). nullopt when
// neither exists.
std::optional<std::string> FindGuide(const std::string& programDir, const std::string& sourceDir);

// The guide of the running program, the source tree being the one it was built from.
std::optional<std::string> FindProgramGuide();

// Where the installation of a program in `programDir` keeps the sample tests, the folder
// that Help Open Sample Tests copies: <prefix>/share/densora/samples.
std::string InstalledSamples(const std::string& programDir);
// The sample tests of the running program: the installed folder when it is there, else the
// source tree's (tests/data/sample-projects); nullopt when neither exists.
std::optional<std::string> FindProgramSamples();

}  // namespace help
