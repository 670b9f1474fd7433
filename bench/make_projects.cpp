// densora-make-projects DIR [PROJECTS]: writes the benchmark's projects directory.
#include <cstdlib>
#include <iostream>

#include "projects_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: densora-make-projects DIR [PROJECTS]\n";
    return 2;
  }
  ProjectsShape shape;
  if (argc > 2) shape.projects = std::atoi(argv[2]);
  std::cout << MakeProjectsDirectory(argv[1], shape) << " files under " << argv[1] << '\n';
  return 0;
}
