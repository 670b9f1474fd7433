// Densora, the desktop program.
#include <QApplication>
#include <QStringList>
#include <clocale>
#include <cstdio>

#include "app/densora_app.h"
#include "framework/qt/qt_tone.h"

namespace {

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  // The help and the version are printed before the toolkit starts, so that they need no
  // display and open no window. The toolkit's own options are still among the words here:
  // whether an option is known is decided once the toolkit has taken them out.
  QStringList words;
  for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  if (const CommandLine early = ReadCommandLine(words); early.action == CommandLine::kPrint) {
    Print(stdout, early.text);
    return 0;
  }
  QApplication qapp(argc, argv);
  if (const CommandLine line = ReadCommandLine(QApplication::arguments());
      line.action == CommandLine::kRefuse) {
    Print(stderr, line.text);
    return 2;
  }
  // The desktop entry the window belongs to (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.vollin.densora"));
  // The record's numbers are written and read with a decimal point whatever the user's
  // language: Qt takes the locale from the environment, so numbers go back to "C".
  std::setlocale(LC_NUMERIC, "C");
  framework::QtTone tone;
  CDensoraApp app;
  CDensoraApp::Options options;
  options.tone = &tone;
  if (!app.InitInstance(QApplication::arguments(), options)) return 1;
  const int code = QApplication::exec();
  app.ExitInstance();
  return code;
}
