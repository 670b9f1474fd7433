#include "views/long_test_page.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <charconv>

#include "framework/qt/qt_text.h"
#include "model/densora_doc.h"
#include "model/long_test.h"
#include "model/messages.h"
#include "model/page_rules.h"

namespace {
// A text of digits and at most one point as a number; the empty text and a lone "." are 0.
double DecimalValue(const std::string& text) {
  double v = 0.0;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, v, std::chars_format::fixed);
  return r.ec == std::errc() ? v : 0.0;
}
}  // namespace

CLongTestPage::CLongTestPage(const QRect& tabRect, QWidget* parent)
    : CTabPage(tabRect, dlg::kLongTestPage, parent) {}

bool CLongTestPage::OnInitDialog() {
  CTabPage::OnInitDialog();
  auto* density = ControlAs<QLineEdit>(IDC_DENSITY);
  auto* moisture = ControlAs<QLineEdit>(IDC_MOISTURE);
  connect(density, &QLineEdit::textEdited, this, [this] { OnDensityChange(); });
  connect(moisture, &QLineEdit::textEdited, this, [this] { OnMoistureChange(); });
  density->installEventFilter(this);
  moisture->installEventFilter(this);
  return true;
}

void CLongTestPage::DoDataExchange(DataExchange& dx) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  dx.Text(IDC_DENSITY, m_strDensity);
  dx.Number(IDC_MOISTURE, doc->m_record.m_dLongTestMoisture);
}

std::string CLongTestPage::DensityRating() const {
  const CDensoraDoc* doc = GetActiveDocument();
  return RateLongTest(*doc, doc->m_record.m_dMaxDryDensity,
                      doc->m_record.m_dLongTestDensity * doc->DensityFactor(), true);
}

std::string CLongTestPage::MoistureRating() const {
  const CDensoraDoc* doc = GetActiveDocument();
  return RateLongTest(*doc, doc->m_record.m_dOptimumMoisture, doc->m_record.m_dLongTestMoisture,
                      false);
}

void CLongTestPage::RefreshPage() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  Control(IDC_UNIT_METRIC)->setVisible(doc->m_nUnits == kMetric);
  Control(IDC_UNIT_PCF)->setVisible(doc->m_nUnits == kEnglish);
  m_strDensity = pages::FormatFixed2(doc->m_record.m_dLongTestDensity * doc->DensityFactor());
  ControlAs<QLineEdit>(IDC_DENSITY_RATING)->setText(framework::FromCp1252(DensityRating()));
  ControlAs<QLineEdit>(IDC_MOISTURE_RATING)->setText(framework::FromCp1252(MoistureRating()));
  UpdateData(false);
}

void CLongTestPage::OnDensityChange() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const std::string text = framework::ToCp1252(ControlAs<QLineEdit>(IDC_DENSITY)->text());
  if (!IsNumericText(text)) {
    WarnAtField(IDC_DENSITY, msg::kNumericOnly);
    return;
  }
  UpdateData(true);
  doc->m_record.m_dLongTestDensity = DecimalValue(m_strDensity) / doc->DensityFactor();
  doc->SetModifiedFlag();
  UpdateData(false);
}

void CLongTestPage::OnMoistureChange() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const std::string text = framework::ToCp1252(ControlAs<QLineEdit>(IDC_MOISTURE)->text());
  if (!IsNumericText(text)) {
    WarnAtField(IDC_MOISTURE, msg::kNumericOnly);
    return;
  }
  UpdateData(true);
  doc->SetModifiedFlag();
}

void CLongTestPage::OnDensityFocusOut() {
  if (!GetActiveDocument()) return;
  ControlAs<QLineEdit>(IDC_DENSITY_RATING)->setText(framework::FromCp1252(DensityRating()));
}

void CLongTestPage::OnMoistureFocusOut() {
  if (!GetActiveDocument()) return;
  ControlAs<QLineEdit>(IDC_MOISTURE_RATING)->setText(framework::FromCp1252(MoistureRating()));
}

bool CLongTestPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    const int id = watched->property("controlId").toInt();
    if (id == IDC_DENSITY) OnDensityFocusOut();
    if (id == IDC_MOISTURE) OnMoistureFocusOut();
  }
  return CTabPage::eventFilter(watched, event);
}
