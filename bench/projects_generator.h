#pragma once
// Writes a projects directory of a lab's years of tests: projects × T.I.P. numbers × test
// types × tests, each a real .lng file.
#include <string>

struct ProjectsShape {
  int projects = 200;
  int tipNumbers = 5;
  int testTypes = 5;
  int tests = 20;
};

// Creates the tree under `root` (made when missing) and returns the number of files written.
// A tree already complete is left as it is.
long MakeProjectsDirectory(const std::string& root, const ProjectsShape& shape = {});
