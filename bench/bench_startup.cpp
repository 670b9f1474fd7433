// Start-up of the desktop program against a bare Qt window: from the process's start to its
// first window shown and painted, once each, and the ratio of the two. Each is a process of its
// own, this program run again ("--child=densora" or "--child=bare"), timed from the spawn to the
// line it writes when its first window is shown: the libraries' loading counts, as it does for a
// user. The densora child starts as the program's main does, with a user of its own
// ($DENSORA_BENCH_DIR/startup-home, default under /tmp/densora-bench) whose projects directory
// is empty: the first start of a new user, association written and desktop tools run.
//   densora_bench_startup     (on $DISPLAY's screen; without one, Qt's offscreen platform)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/densora_app.h"
#include "app/settings.h"
#include "projects_generator.h"

extern char** environ;

namespace {

// Writes the line the parent waits for once the first window is on the screen and painted
// (its first exposure handled), then ends the process at once: what follows is not start-up.
class FirstShow : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!m_seen && event->type() == QEvent::Expose && watched->isWindowType() &&
        static_cast<QWindow*>(watched)->isExposed()) {
      m_seen = true;
      QTimer::singleShot(0, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        std::_Exit(0);
      });
    }
    return false;
  }

 private:
  bool m_seen = false;
};

int Bare(int argc, char** argv) {
  QApplication qapp(argc, argv);
  FirstShow shown;
  qapp.installEventFilter(&shown);
  QMainWindow window;
  window.setCentralWidget(new QLabel(QStringLiteral("Qt")));
  window.statusBar()->showMessage(QStringLiteral("Ready"));
  window.resize(800, 600);
  window.show();
  return QApplication::exec();
}

// The program's own start, watched for its first window.
int Densora(int argc, char** argv) {
  FirstShow shown;
  return RunDensora(argc, argv, &shown);
}

// Milliseconds from spawning this program with `--child=kind` to its line; negative when
// the child ended without one.
double TimeChild(const char* self, const std::string& kind) {
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string arg = "--child=" + kind;
  char* args[] = {const_cast<char*>(self), const_cast<char*>(arg.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, self, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return -1;
  }
  char line[16] = {};
  const ssize_t n = read(out[0], line, sizeof line - 1);
  const auto end = std::chrono::steady_clock::now();
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (n <= 0 || std::strncmp(line, "shown", 5) != 0) return -1;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child=bare") == 0) return Bare(1, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child=densora") == 0) return Densora(1, argv);

  // Without a display, Qt's offscreen platform: the ratio still tells, the times are shorter.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  // A new user: settings and data of their own, an empty projects directory.
  const std::filesystem::path home = BenchDir() + "/startup-home";
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home / "projects");
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  settings::WriteProjectsDir((home / "projects").string());

  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  // A first run of each loads the libraries into the page cache; the second is timed.
  TimeChild(self.c_str(), "bare");
  TimeChild(self.c_str(), "densora");
  const double bare = TimeChild(self.c_str(), "bare");
  const double densora = TimeChild(self.c_str(), "densora");
  if (bare <= 0 || densora <= 0) {
    std::fputs("densora_bench_startup: a child showed no window\n", stderr);
    return 1;
  }
  std::printf("%-34s %10s\n", "process start to first window", "ms");
  std::printf("%-34s %10.1f\n", "bare Qt window", bare);
  std::printf("%-34s %10.1f\n", "densora, empty projects directory", densora);
  std::printf("%-34s %10.2f\n", "densora / bare", densora / bare);
  return 0;
}
