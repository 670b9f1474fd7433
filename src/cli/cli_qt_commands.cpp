#include "cli/cli_qt_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <QString>

#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "framework/qt/qt_surface.h"
#include "model/densora_doc.h"
#include "model/density_curve.h"
#include "print/report.h"

namespace cli {

namespace {

int g_argc = 0;
char** g_argv = nullptr;

// The curve page's graph window at 96 dpi.
constexpr int kChartWidth = 474;
constexpr int kChartHeight = 312;
constexpr int kMaxImageSide = 20000;
constexpr int kReportDpi = 600;

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// The message handler Qt had before the tool's own: every other message goes to it.
QtMessageHandler g_previousHandler = nullptr;

// Qt's note that it made up a runtime folder is of no use to someone drawing a file.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
  if (g_previousHandler) g_previousHandler(type, context, message);
}

// The one Qt application object of the tool, made on first use.
void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  g_previousHandler = qInstallMessageHandler(QuietHandler);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !HasDisplay()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static int argc = g_argc;
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, g_argv);
}

struct Options {
  std::vector<std::string> files;
  std::string output;
  bool metric = false;
  int width = kChartWidth;
  int height = kChartHeight;
};

bool ParseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  auto number = [](const std::string& s, int& out) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    out = std::stoi(s);
    return out >= 1 && out <= kMaxImageSide;
  };
  return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

// Returns kExitOk or kExitUsage (with the message written).
int ParseOptions(const char* command, const std::vector<std::string>& args, bool allowSize,
                 Options& opt, std::ostream& err) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--metric") {
      opt.metric = true;
    } else if (a == "-o" || a == "--output") {
      if (i + 1 >= args.size()) {
        err << "densora-cli " << command << ": -o needs a file name\n";
        return kExitUsage;
      }
      opt.output = args[++i];
    } else if (allowSize && a == "--size") {
      if (i + 1 >= args.size() || !ParseSize(args[i + 1], opt.width, opt.height)) {
        err << "densora-cli " << command << ": --size needs WIDTHxHEIGHT, each 1 to "
            << kMaxImageSide << '\n';
        return kExitUsage;
      }
      ++i;
    } else if (a.size() > 1 && a[0] == '-') {
      err << "densora-cli " << command << ": unknown option " << a << '\n';
      return kExitUsage;
    } else {
      opt.files.push_back(a);
    }
  }
  return kExitOk;
}

// Draws the output into memory with `render`, then writes the bytes to `output` whole, or
// leaves what was there. Nothing at the output's path is opened before every byte is ready,
// so a full disk cannot leave half a file and a pipe or device under that name is refused
// rather than written.
int RenderAndWrite(const char* command, const std::string& output, std::ostream& err,
                   const std::function<bool(QIODevice&)>& render) {
  QBuffer buffer;
  if (!buffer.open(QIODevice::WriteOnly) || !render(buffer)) {
    err << "densora-cli " << command << ": cannot draw " << output << '\n';
    return kExitFileFailed;
  }
  const QByteArray& data = buffer.data();
  return WriteOutput(output, std::vector<unsigned char>(data.cbegin(), data.cend()), err);
}

// One US Letter page per document, as the program prints them.
bool DrawReportPages(QIODevice& device, const std::vector<std::unique_ptr<CDensoraDoc>>& docs) {
  QPdfWriter writer(&device);
  writer.setResolution(kReportDpi);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0)));
  writer.setCreator("Densora");
  writer.setTitle("MOISTURE DENSITY DETERMINATION");
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  bool first = true;
  for (const auto& doc : docs) {
    if (!first) writer.newPage();
    first = false;
    framework::QtPainterSurface surface(painter);
    CDensityCurve curve(*doc);  // no tone on paper from the tool
    print::DrawReport(surface, writer.width(), writer.height(), *doc, curve);
  }
  return painter.end();
}

int Report(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options opt;
  if (ParseOptions("report", args, false, opt, err) != kExitOk) return kExitUsage;
  if (opt.files.empty() || opt.output.empty()) {
    err << "usage: densora-cli report FILE.lng... -o REPORT.pdf [--metric]\n";
    return kExitUsage;
  }
  int rc = kExitOk;
  std::vector<std::unique_ptr<CDensoraDoc>> docs;
  for (const auto& file : opt.files) {
    auto doc = std::make_unique<CDensoraDoc>();
    doc->m_nUnits = opt.metric ? kMetric : kEnglish;
    if (!OpenAndFit(*doc, file, err)) {
      rc = kExitFileFailed;
      continue;
    }
    docs.push_back(std::move(doc));
  }
  if (docs.empty()) return kExitFileFailed;

  EnsureApplication();
  const int written = RenderAndWrite("report", opt.output, err,
                                     [&](QIODevice& device) { return DrawReportPages(device, docs); });
  (void)out;
  return written != kExitOk ? written : rc;
}

int Chart(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options opt;
  if (ParseOptions("chart", args, true, opt, err) != kExitOk) return kExitUsage;
  if (opt.files.size() != 1 || opt.output.empty()) {
    err << "usage: densora-cli chart FILE.lng -o CHART.png [--metric] [--size WxH]\n";
    return kExitUsage;
  }
  CDensoraDoc doc;
  doc.m_nUnits = opt.metric ? kMetric : kEnglish;
  if (!OpenAndFit(doc, opt.files[0], err)) return kExitFileFailed;

  EnsureApplication();
  QImage image(opt.width, opt.height, QImage::Format_RGB32);
  if (image.isNull()) {
    err << "densora-cli chart: cannot make an image of " << opt.width << "x" << opt.height << '\n';
    return kExitFileFailed;
  }
  constexpr int kDotsPerMeterAt96Dpi = 3780;
  image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
  image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
  // The graph window shows the page's background around the plot area.
  image.fill(QGuiApplication::palette().color(QPalette::Window));
  {
    QPainter painter(&image);
    framework::QtPainterSurface surface(painter);
    CDensityCurve curve(doc);  // silent: the tool has no one to warn
    curve.FitRecord();
    curve.DrawChart(surface, 0, 0, opt.width, opt.height, 1, 1, 1);
  }
  (void)out;
  return RenderAndWrite("chart", opt.output, err,
                        [&](QIODevice& device) { return image.save(&device, "PNG"); });
}

}  // namespace

void RegisterDrawingCommands(int argc, char** argv) {
  g_argc = argc;
  g_argv = argv;
  RegisterCommand("report", "report FILE.lng... -o REPORT.pdf [--metric]", Report);
  RegisterCommand("chart", "chart FILE.lng -o CHART.png [--metric] [--size WxH]", Chart);
}

}  // namespace cli
