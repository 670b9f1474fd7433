#include "app/family_window.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <utility>

#include "chart/family_chart.h"
#include "framework/codepage.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "framework/qt/qt_surface.h"
#include "framework/text_format.h"
#include "model/densora_doc.h"
#include "print/family_report.h"
#include "print/qt/report_pdf.h"

namespace {

QString Utf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

}  // namespace

// The family's chart, drawn by the painter the printed page and densora-cli use.
class CFamilyChartView : public QWidget {
 public:
  CFamilyChartView(const Family& family, int units, QWidget* parent)
      : QWidget(parent), m_family(family), m_units(units) {
    setMinimumSize(420, 320);
    setObjectName(QStringLiteral("familyChart"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    framework::QtPainterSurface surface(painter);
    CDensoraDoc units;  // the unit tables
    units.m_nUnits = m_units;
    CFamilyChart chart(m_family, units.DensityFactor(), m_units == kMetric ? "kg/m\xB3" : "pcf",
                       units.AxisStep());
    chart.Draw(surface, 0, 0, width(), height());
  }

 private:
  const Family& m_family;
  int m_units;
};

// ---------------------------------------------------------------------------------------

void CFamilyTableModel::Reset(std::vector<FolderTest> rows, const std::set<std::string>* unchecked,
                              double densityFactor, QString densityUnit) {
  beginResetModel();
  m_rows = std::move(rows);
  m_unchecked = unchecked;
  m_factor = densityFactor;
  m_unit = std::move(densityUnit);
  endResetModel();
}

void CFamilyTableModel::SetMembers(std::unordered_map<std::string, std::size_t> members) {
  m_members = std::move(members);
  if (!m_rows.empty()) {
    emit dataChanged(index(0, kTest), index(rowCount() - 1, kTest), {Qt::DecorationRole});
  }
}

int CFamilyTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CFamilyTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant CFamilyTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const FolderTest& row = Row(index.row());
  const FittedTest& t = *row.fitted;
  if (role == Qt::DecorationRole && index.column() == kTest) {
    // A swatch of the curve's colour: which curve on the chart is this test's.
    const auto member = m_members.find(row.file);
    if (member == m_members.end()) return {};
    const framework::Color c = FamilyMemberColor(member->second);
    return QColor(c.r, c.g, c.b);
  }
  if (role == Qt::CheckStateRole && index.column() == kTest) {
    return m_unchecked && m_unchecked->count(row.file) ? Qt::Unchecked : Qt::Checked;
  }
  if (role == Qt::TextAlignmentRole && (index.column() == kMdd || index.column() == kOmc)) {
    return int(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kTest:
      return Utf8(framework::Utf8ForDisplay(row.file));
    case kCounty:
      return Utf8(t.county);
    case kTestType:
      return Utf8(t.testType);
    case kDate:
      return Utf8(t.date);
    case kMdd:
      return Utf8(framework::FormatFinite("%.1f", t.maxDryDensity * m_factor));
    case kOmc:
      return Utf8(framework::FormatFinite("%.1f", t.optimumMoisture));
    case kStandard:
      return Utf8(KeyOf(t.standard, t.method).standard);
    case kMethod:
      return t.method.empty() ? QStringLiteral("unknown") : Utf8(t.method);
    default:
      return {};
  }
}

QVariant CFamilyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  switch (section) {
    case kTest:
      return QStringLiteral("Test");
    case kCounty:
      return QStringLiteral("County");
    case kTestType:
      return QStringLiteral("Test Type");
    case kDate:
      return QStringLiteral("Date");
    case kMdd:
      return QStringLiteral("MDD (%1)").arg(m_unit);
    case kOmc:
      return QStringLiteral("OMC (%)");
    case kStandard:
      return QStringLiteral("Standard");
    case kMethod:
      return QStringLiteral("Method");
    default:
      return {};
  }
}

Qt::ItemFlags CFamilyTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.column() == kTest) f |= Qt::ItemIsUserCheckable;
  return f;
}

bool CFamilyTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != kTest || index.row() >= rowCount()) {
    return false;
  }
  if (m_onCheck) {
    m_onCheck(Row(index.row()).file, value.toInt() == Qt::Checked);
  }
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

// ---------------------------------------------------------------------------------------

CFamilyWindow::CFamilyWindow(Context context, std::string folder, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)), m_folder(std::move(folder)) {
  setObjectName(QStringLiteral("familyWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setSizeGripEnabled(true);
  std::string root = m_context.projectsDir;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  while (m_folder.size() > 1 && m_folder.back() == '/') m_folder.pop_back();
  m_folderName = m_folder == root                     ? std::string(".")
                 : m_folder.rfind(root + '/', 0) == 0 ? m_folder.substr(root.size() + 1)
                                                      : m_folder;
  // The projects directory itself goes by its path.
  m_shownName = framework::Utf8ForDisplay(m_folderName == "." ? root : m_folderName);
  setWindowTitle(QStringLiteral("Family of Curves - %1").arg(Utf8(m_shownName)));

  auto* keysLabel = new QLabel(QStringLiteral("&Standard and method:"));
  m_pKeys = new QComboBox;
  m_pKeys->setObjectName(QStringLiteral("familyKey"));
  keysLabel->setBuddy(m_pKeys);
  auto* top = new QHBoxLayout;
  top->addWidget(keysLabel);
  top->addWidget(m_pKeys, 1);

  m_pChart = new CFamilyChartView(m_family, m_context.units, this);
  m_pTable = new QTableView;
  m_pTable->setObjectName(QStringLiteral("familyTable"));
  m_pTable->setModel(&m_model);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
  m_pTable->verticalHeader()->setDefaultSectionSize(m_pTable->fontMetrics().height() + 6);
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  // Ten thousand rows are sized from their first rows, not each measured.
  m_pTable->horizontalHeader()->setResizeContentsPrecision(50);
  m_pShortage = new QLabel;
  m_pShortage->setObjectName(QStringLiteral("familyShortage"));
  m_pShortage->setStyleSheet(QStringLiteral("color: #b00000"));
  m_pLeftOut = new QLabel;
  m_pLeftOut->setObjectName(QStringLiteral("familyLeftOut"));
  m_pLeftOut->setWordWrap(true);
  auto* tableSide = new QWidget;
  auto* tableLayout = new QVBoxLayout(tableSide);
  tableLayout->setContentsMargins(0, 0, 0, 0);
  tableLayout->addWidget(m_pTable, 1);
  tableLayout->addWidget(m_pShortage);
  tableLayout->addWidget(m_pLeftOut);
  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(m_pChart);
  split->addWidget(tableSide);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);

  auto* buttons = new QDialogButtonBox;
  auto* print = buttons->addButton(QStringLiteral("&Print..."), QDialogButtonBox::ActionRole);
  auto* pdf = buttons->addButton(QStringLiteral("&Export as PDF..."), QDialogButtonBox::ActionRole);
  m_pNewOnePoint =
      buttons->addButton(QStringLiteral("New &One-Point Test..."), QDialogButtonBox::ActionRole);
  auto* close = buttons->addButton(QDialogButtonBox::Close);
  print->setObjectName(QStringLiteral("familyPrint"));
  pdf->setObjectName(QStringLiteral("familyPdf"));
  m_pNewOnePoint->setObjectName(QStringLiteral("familyNewOnePoint"));
  // Enter in the table toggles nothing and closes nothing: no default button.
  for (QPushButton* b : {print, pdf, m_pNewOnePoint, close}) b->setAutoDefault(false);
  connect(print, &QPushButton::clicked, this, [this] { OnPrint(); });
  connect(pdf, &QPushButton::clicked, this, [this] { OnExportPdf(); });
  connect(m_pNewOnePoint, &QPushButton::clicked, this, [this] {
    if (m_context.newOnePoint) m_context.newOnePoint(m_folderName, m_key);
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(split, 1);
  layout->addWidget(buttons);
  setTabOrder(m_pKeys, m_pTable);
  setTabOrder(m_pTable, print);
  setTabOrder(print, pdf);
  setTabOrder(pdf, m_pNewOnePoint);
  setTabOrder(m_pNewOnePoint, close);
  resize(1240, 720);
  split->setSizes({560, 660});

  m_model.m_onCheck = [this](const std::string& file, bool checked) { OnCheck(file, checked); };
  connect(m_pKeys, &QComboBox::activated, this, [this](int k) {
    if (k >= 0 && static_cast<std::size_t>(k) < m_keys.size()) Select(m_keys[std::size_t(k)]);
  });
}

CFamilyWindow::~CFamilyWindow() = default;

std::optional<std::vector<FolderTest>> CFamilyWindow::Scan() {
  std::unique_ptr<QProgressDialog> progress;
  auto last = std::chrono::steady_clock::now();
  try {
    return m_context.cache->Scan(m_folder, [&](std::size_t done) {
      const auto now = std::chrono::steady_clock::now();
      if (now - last < std::chrono::milliseconds(100)) return true;
      last = now;
      if (!progress) {
        progress = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0, 0,
                                                     isVisible() ? this : parentWidget());
        progress->setWindowTitle(QStringLiteral("Densora"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
        progress->setValue(0);
      }
      progress->setLabelText(QStringLiteral("Reading the tests: %1 files read").arg(done));
      QCoreApplication::processEvents();
      return !progress->wasCanceled();
    });
  } catch (const framework::CFileException& e) {
    framework::AfxMessageBox(e.what(), framework::MsgButtons::Ok, framework::MsgIcon::Stop);
    return std::nullopt;
  }
}

bool CFamilyWindow::Load() {
  std::optional<std::vector<FolderTest>> tests = Scan();
  if (!tests) return false;
  Show(std::move(*tests), nullptr);
  return true;
}

void CFamilyWindow::Reload() {
  m_wasInactive = false;
  std::optional<std::vector<FolderTest>> tests = Scan();
  // A progress window or a message while reading took the window's activity away: coming
  // back from them is no reason to read the folder once more.
  m_wasInactive = false;
  if (!tests) return;  // cancelled, or the folder is gone (said): the window shows what it had
  // The cache hands out the same reading for a file that has not changed.
  const auto same = [](const FolderTest& a, const FolderTest& b) {
    return a.file == b.file && a.fitted == b.fitted;
  };
  std::set<std::string> unchecked = ReadFamilyChoice(m_folder);
  if (std::equal(tests->begin(), tests->end(), m_tests.begin(), m_tests.end(), same) &&
      unchecked == m_unchecked) {
    return;
  }
  const FamilyKey key = m_key;
  Show(std::move(*tests), &key);
}

bool CFamilyWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) {
    m_wasInactive = true;
  } else if (event->type() == QEvent::WindowActivate && m_wasInactive) {
    // Back from another window (perhaps the main window, where a test was just saved), or
    // from another program: the folder may hold other tests now.
    QTimer::singleShot(0, this, [this] { Reload(); });
    m_wasInactive = false;
  }
  return QDialog::event(event);
}

void CFamilyWindow::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Refresh)) {
    Reload();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CFamilyWindow::Show(std::vector<FolderTest> tests, const FamilyKey* key) {
  m_tests = std::move(tests);
  m_unchecked = ReadFamilyChoice(m_folder);

  // The keys the folder's usable tests have, the most shared first.
  const FamilyKey shared = MostSharedKey(m_tests);
  m_keys = {shared};
  std::vector<std::size_t> counts = {0};
  for (const FolderTest& t : m_tests) {
    if (!t.fitted->UsableFit()) continue;
    const FamilyKey k = KeyOf(t.fitted->standard, t.fitted->method);
    const auto at = std::find(m_keys.begin(), m_keys.end(), k);
    if (at == m_keys.end()) {
      m_keys.push_back(k);
      counts.push_back(1);
    } else {
      ++counts[static_cast<std::size_t>(at - m_keys.begin())];
    }
  }
  m_pKeys->clear();
  for (std::size_t k = 0; k < m_keys.size(); ++k) {
    m_pKeys->addItem(QStringLiteral("%1 (%2 tests)").arg(Utf8(m_keys[k].Title())).arg(counts[k]));
  }
  const auto kept = key ? std::find(m_keys.begin(), m_keys.end(), *key) : m_keys.end();
  const FamilyKey chosen = kept != m_keys.end() ? *kept : shared;
  m_pKeys->setCurrentIndex(
      static_cast<int>(std::find(m_keys.begin(), m_keys.end(), chosen) - m_keys.begin()));
  Select(chosen);
}

void CFamilyWindow::Select(const FamilyKey& key) {
  m_key = key;
  // Every test that may join: a member, or one left out by the user's choice.
  Family candidates = SelectFamily(m_tests, key);
  CDensoraDoc units;
  units.m_nUnits = m_context.units;
  m_model.Reset(std::move(candidates.members), &m_unchecked, units.DensityFactor(),
                m_context.units == kMetric ? QStringLiteral("kg/m\u00B3") : QStringLiteral("pcf"));
  Refresh();  // the members' colours first: the test column makes room for them
  m_pTable->resizeColumnsToContents();
}

void CFamilyWindow::Refresh() {
  m_family = SelectFamily(m_tests, m_key, m_unchecked);
  std::unordered_map<std::string, std::size_t> members;
  members.reserve(m_family.members.size());
  for (std::size_t i = 0; i < m_family.members.size(); ++i) {
    members.emplace(m_family.members[i].file, i);
  }
  m_model.SetMembers(std::move(members));
  m_pShortage->setText(Utf8(m_family.Shortage()));
  m_pShortage->setVisible(!m_family.Complete());
  m_pLeftOut->setText(Utf8(framework::Utf8ForDisplay(m_family.LeftOutLine())));
  m_pLeftOut->setVisible(!m_family.LeftOutLine().empty());
  // A one-point test needs a complete family in the projects directory.
  m_pNewOnePoint->setEnabled(m_family.Complete() && !framework::IsRootedPath(m_folderName));
  m_pChart->update();
}

void CFamilyWindow::OnCheck(const std::string& file, bool checked) {
  if (checked) {
    m_unchecked.erase(file);
  } else {
    m_unchecked.insert(file);
  }
  try {
    WriteFamilyChoice(m_folder, m_unchecked);
  } catch (const framework::CFileException& e) {
    // The family shows the choice; it could not be kept for the next opening.
    framework::AfxMessageBox(e.what(), framework::MsgButtons::Ok, framework::MsgIcon::Exclamation);
  }
  Refresh();
}

void CFamilyWindow::PrintPage(QPagedPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return;
  {
    framework::QtPainterSurface surface(painter);
    CDensoraDoc units;
    units.m_nUnits = m_context.units;
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    print::DrawFamilyPage(surface, page.width(), page.height(), m_family, m_shownName,
                          units.DensityFactor(), m_context.units == kMetric ? "kg/m\xB3" : "pcf",
                          units.AxisStep());
  }
  painter.end();
}

void CFamilyWindow::OnPrint() {
  if (!m_pPrinter) {
    m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_pPrinter->setResolution(print::kReportDpi);
    m_pPrinter->setPageSize(QPageSize(QPageSize::Letter));
  }
  QPrintDialog dlg(m_pPrinter.get(), this);
  if (dlg.exec() != QDialog::Accepted) return;
  PrintPage(*m_pPrinter);
  activateWindow();
}

std::vector<unsigned char> CFamilyWindow::PdfBytes() {
  QBuffer buffer;
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(print::kReportDpi);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setCreator(QStringLiteral("Densora"));
    writer.setTitle(QStringLiteral("FAMILY OF CURVES"));
    PrintPage(writer);
  }
  const QByteArray& data = buffer.data();
  return {data.cbegin(), data.cend()};
}

void CFamilyWindow::OnExportPdf() {
  if (!m_context.exportPdf) return;
  const std::string name =
      m_folderName == "." ? framework::FileNameOf(m_context.projectsDir) : m_folderName;
  std::string proposed = m_context.projectsDir + "/" + name + "-family.pdf";
  // A folder below another gives its own name to the file, beside the projects directory's top.
  std::replace(proposed.begin() + static_cast<std::ptrdiff_t>(m_context.projectsDir.size()) + 1,
               proposed.end(), '/', '-');
  m_context.exportPdf(proposed, [this] { return PdfBytes(); });
  activateWindow();
}
