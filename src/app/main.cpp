// Densora, the desktop program.
#include <QApplication>
#include <clocale>

#include "app/densora_app.h"
#include "framework/qt/qt_tone.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
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
