#include "cli/cli_qt_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "chart/density_chart.h"
#include "chart/family_chart.h"
#include "cli/cli.h"
#include "file/family_folder.h"
#include "framework/file_io.h"
#include "framework/qt/qt_surface.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "print/qt/report_pdf.h"

namespace cli {

namespace {

int g_argc = 0;
char** g_argv = nullptr;

// The curve page's graph window at 96 dpi.
constexpr int kChartWidth = 474;
constexpr int kChartHeight = 312;
// A family's chart: room for a few dozen curves to be told apart.
constexpr int kFamilyChartWidth = 960;
constexpr int kFamilyChartHeight = 720;
constexpr int kDotsPerMeterAt96Dpi = 3780;

#ifndef _WIN32
bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}
#endif

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
#ifndef _WIN32
  // Windows draws with its own fonts without a window; elsewhere a tool run with no display
  // (a server, a script) draws offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !HasDisplay()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
#endif
  static int argc = g_argc;
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, g_argv);
}

constexpr CommandInfo kChart{
    .name = "chart", .bit = kChartCommand, .input = "FILE.lng", .output = "CHART.png"};
constexpr CommandInfo kReport{.name = "report",
                              .bit = kReportCommand,
                              .input = "FILE.lng",
                              .manyInputs = true,
                              .output = "REPORT.pdf"};

// Draws the output into memory with `render`, then writes the bytes to `output` whole, or
// leaves what was there. Nothing at the output's path is opened before every byte is ready,
// so a full disk cannot leave half a file and a pipe or device under that name is refused
// rather than written.
int RenderAndWrite(const char* command, const std::string& output, std::ostream& err,
                   const std::function<bool(QIODevice&)>& render) {
  QBuffer buffer;
  if (!buffer.open(QIODevice::WriteOnly) || !render(buffer)) {
    err << "densora-cli " << command << ": cannot draw " << framework::ShownPath(output) << '\n';
    return kExitFileFailed;
  }
  const QByteArray& data = buffer.data();
  return WriteOutput(output, std::vector<unsigned char>(data.cbegin(), data.cend()), err);
}

int Report(const std::vector<std::string>& argv, std::ostream&, std::ostream& err) {
  Arguments args;
  if (ParseArguments(kReport, argv, args, err) != kExitOk) return kExitUsage;
  int rc = kExitOk;
  const std::vector<double> percents = CompactionPercents(args);
  std::vector<std::unique_ptr<CDensoraDoc>> docs;
  std::vector<std::unique_ptr<OnePointEvaluation>> onePoints;
  FamilyCache families;
  for (const auto& file : args.inputs) {
    auto doc = std::make_unique<CDensoraDoc>();
    doc->m_nUnits = args.Units();
    doc->m_dRelativeCompaction = percents;
    if (!OpenAndFit(*doc, file, err)) {
      rc = kExitFileFailed;
      continue;
    }
    // A one-point test prints the result its family gives it now, as on opening it.
    onePoints.push_back(std::make_unique<OnePointEvaluation>(
        EvaluateOnePointTest(doc->m_record, ProjectsDirectory(args), families)));
    docs.push_back(std::move(doc));
  }
  if (docs.empty()) return kExitFileFailed;

  EnsureApplication();
  std::vector<std::unique_ptr<CDensityCurve>> curves;
  std::vector<std::unique_ptr<CDensityChart>> charts;  // no tone on paper from the tool
  std::vector<print::ReportPage> pages;
  for (std::size_t i = 0; i < docs.size(); ++i) {
    curves.push_back(std::make_unique<CDensityCurve>(*docs[i]));
    charts.push_back(std::make_unique<CDensityChart>(*curves.back()));
    pages.push_back({*docs[i], *charts.back(), onePoints[i].get()});
  }
  const int written = RenderAndWrite(kReport.name, args.output, err, [&](QIODevice& device) {
    return print::WriteReportPdf(device, pages);
  });
  return written != kExitOk ? written : rc;
}

int Chart(const std::vector<std::string>& argv, std::ostream&, std::ostream& err) {
  Arguments args;
  if (ParseArguments(kChart, argv, args, err) != kExitOk) return kExitUsage;
  int width = kChartWidth, height = kChartHeight;
  if (!args.size.empty()) ParseImageSize(args.size, width, height);
  CDensoraDoc doc;
  doc.m_nUnits = args.Units();
  doc.m_dRelativeCompaction = CompactionPercents(args);
  if (!OpenAndFit(doc, args.inputs[0], err)) return kExitFileFailed;

  EnsureApplication();
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) {
    err << "densora-cli chart: cannot make an image of " << width << "x" << height << '\n';
    return kExitFileFailed;
  }
  image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
  image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
  // The graph window shows the page's background around the plot area.
  image.fill(QGuiApplication::palette().color(QPalette::Window));
  {
    QPainter painter(&image);
    framework::QtPainterSurface surface(painter);
    CDensityCurve curve(doc);
    curve.FitRecord();
    CDensityChart(curve).Draw(surface, 0, 0, width, height, 1, 1, 1);  // silent: no one to warn
  }
  return RenderAndWrite(kChart.name, args.output, err,
                        [&](QIODevice& device) { return image.save(&device, "PNG"); });
}

// family --chart: the family's chart as a PNG image.
int WriteFamilyChart(const Family& family, int units, const std::string& path, std::ostream& err) {
  EnsureApplication();
  QImage image(kFamilyChartWidth, kFamilyChartHeight, QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
  image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    framework::QtPainterSurface surface(painter);
    CDensoraDoc doc;  // the unit tables
    doc.m_nUnits = units;
    CFamilyChart chart(family, doc.DensityFactor(), units == kMetric ? "kg/m\xB3" : "pcf",
                       doc.AxisStep());
    chart.Draw(surface, 0, 0, image.width(), image.height());
  }
  return RenderAndWrite("family", path, err,
                        [&](QIODevice& device) { return image.save(&device, "PNG"); });
}

}  // namespace

void RegisterDrawingCommands(int argc, char** argv) {
  SetFamilyChartWriter(WriteFamilyChart);
  g_argc = argc;
  g_argv = argv;
  RegisterCommand(kReport, Report);
  RegisterCommand(kChart, Chart);
}

}  // namespace cli
