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

// The folder under which every benchmark writes: $DENSORA_BENCH_DIR, or /tmp/densora-bench.
std::string BenchDir();

// The projects directory of 100,000 tests under BenchDir(), written on first use.
std::string BenchProjectsDir();

// A projects directory under BenchDir() whose one folder BIG holds 10,000 tests, written on
// first use.
std::string BigFolderDir();

// A projects directory under BenchDir() whose one folder FAMILY holds 10,000 tests of
// AASHTO T 99 Method A, each with a curve of its own (the points shifted in moisture and
// density from test to test), written on first use.
std::string FamilyFolderDir();
