#include "views/soil_method_page.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "framework/prompt.h"
#include "framework/qt/qt_text.h"
#include "framework/text_format.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "model/messages.h"
#include "model/page_rules.h"

namespace {

// The page's control of each laboratory entry it edits.
struct PageEntry {
  int id;
  const char* key;
};
constexpr PageEntry kEntryControls[] = {
    {CSoilMethodPage::IDC_STANDARD, "standard"},
    {CSoilMethodPage::IDC_METHOD, "method"},
    {CSoilMethodPage::IDC_GS, "specificGravity"},
    {CSoilMethodPage::IDC_GS_SOURCE, "specificGravitySource"},
    {CSoilMethodPage::IDC_OVERSIZE_PERCENT, "oversizePercent"},
    {CSoilMethodPage::IDC_OVERSIZE_GS, "oversizeSpecificGravity"},
    {CSoilMethodPage::IDC_OVERSIZE_MOISTURE, "oversizeMoisture"},
};

// The entry control `id` edits; nullptr for the mold volume.
const LabField* FieldOf(int id) {
  for (const PageEntry& c : kEntryControls) {
    if (c.id == id) return FindLabField(c.key);
  }
  return nullptr;
}

// Exchanges field `f` of `x` with control `id`: a text with a list or an edit, a number with
// an edit where the empty text is "not entered".
void ExchangeEntry(DataExchange& dx, int id, const LabField& f, LabExtension& x) {
  const EntryValue v = f.Get(x);
  const double* number = std::get_if<double>(&v);
  EntryValue exchanged;
  if (f.Type() == EntryType::kText) {
    const std::string* stored = std::get_if<std::string>(&v);
    std::string text = stored ? *stored : std::string();
    dx.Text(id, text);
    exchanged = text;
  } else if (f.Type() == EntryType::kOptionalNumber) {
    std::optional<double> value;
    if (number) value = *number;
    dx.OptionalNumber(id, value);
    if (value) exchanged = *value;
  } else {
    double value = number ? *number : 0.0;
    dx.OptionalNumber(id, value);
    exchanged = value;
  }
  if (dx.IsSaving() && !dx.Failed()) f.Set(x, exchanged);
}

// Selects the item whose text is `text` exactly. A text the list does not hold (one read
// from a file) is added after the fixed items and selected, so that it shows and is kept.
// The first fixed item is the empty text.
void SelectListText(QComboBox* list, int fixedItems, const std::string& text) {
  while (list->count() > fixedItems) list->removeItem(list->count() - 1);
  const QString wanted = framework::FromCp1252(text);
  const int at = list->findText(wanted, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (at >= 0 && at < fixedItems) {
    list->setCurrentIndex(at);
    return;
  }
  list->addItem(wanted);
  list->setCurrentIndex(list->count() - 1);
}

}  // namespace

CSoilMethodPage::CSoilMethodPage(const QRect& tabRect, QWidget* parent, CDensityCurve& curve)
    : CTabPage(tabRect, dlg::kSoilMethodPage, parent), m_curve(curve) {}

bool CSoilMethodPage::OnInitDialog() {
  CTabPage::OnInitDialog();
  m_pStandard = ControlAs<QComboBox>(IDC_STANDARD);
  m_pMethod = ControlAs<QComboBox>(IDC_METHOD);
  m_pSource = ControlAs<QComboBox>(IDC_GS_SOURCE);
  // The empty first item is the standard test.
  m_pStandard->addItem(QString());
  for (const char* s : kStandards) m_pStandard->addItem(QString::fromLatin1(s));
  m_pSource->addItem(QString());
  for (const char* s : kSpecificGravitySources) m_pSource->addItem(QString::fromLatin1(s));
  m_pMethod->addItem(QString());

  std::vector<int> numberIds = {IDC_MOLD_VOLUME};
  for (const PageEntry& c : kEntryControls) {
    if (FindLabField(c.key)->Type() != EntryType::kText) numberIds.push_back(c.id);
  }
  for (int id : numberIds) {
    auto* edit = ControlAs<QLineEdit>(id);
    connect(edit, &QLineEdit::textEdited, this, [this, id] { OnNumberChange(id); });
    edit->installEventFilter(this);
  }
  connect(m_pStandard, &QComboBox::activated, this, [this] { OnSelectStandard(); });
  connect(m_pMethod, &QComboBox::activated, this, [this] { OnSelectList(IDC_METHOD); });
  connect(m_pSource, &QComboBox::activated, this, [this] { OnSelectList(IDC_GS_SOURCE); });
  connect(ControlAs<QPushButton>(IDC_MOLD_4IN), &QPushButton::clicked, this,
          [this] { OnMoldButton(kFourInchMoldVolume); });
  connect(ControlAs<QPushButton>(IDC_MOLD_6IN), &QPushButton::clicked, this,
          [this] { OnMoldButton(kSixInchMoldVolume); });
  return true;
}

void CSoilMethodPage::DoDataExchange(DataExchange& dx) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  CompactionRecord& r = doc->m_record;
  dx.Number(IDC_MOLD_VOLUME, r.m_dMoldVolume);
  for (const PageEntry& c : kEntryControls) ExchangeEntry(dx, c.id, *FindLabField(c.key), r.m_ext);
}

int CSoilMethodPage::EntryControl(std::string_view key) {
  for (const PageEntry& c : kEntryControls) {
    if (key == c.key) return c.id;
  }
  return 0;
}

void CSoilMethodPage::RefreshPage() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const LabExtension& x = doc->m_record.m_ext;
  // The points may have changed on the Test Data page since the curve was last fitted.
  m_curve.FitRecord();
  SelectListText(m_pStandard, static_cast<int>(kStandards.size()) + 1, x.standard);
  SelectListText(m_pSource, static_cast<int>(kSpecificGravitySources.size()) + 1,
                 x.specificGravitySource);
  FillMethods();
  UpdateData(false);
  for (QLineEdit* edit : findChildren<QLineEdit*>()) {
    if (!edit->isReadOnly()) {
      const int id = edit->property("controlId").toInt();
      m_typed[id] = m_entered[id] = {edit->text(), ValueOf(id)};
    }
  }
  ShowResults();
}

void CSoilMethodPage::FillMethods() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const LabExtension& x = doc->m_record.m_ext;
  while (m_pMethod->count() > 1) m_pMethod->removeItem(m_pMethod->count() - 1);
  const std::string_view methods = MethodsOf(x.standard);
  for (char m : methods) m_pMethod->addItem(QString(QChar::fromLatin1(m)));
  SelectListText(m_pMethod, static_cast<int>(methods.size()) + 1, x.method);
}

void CSoilMethodPage::ShowResults() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const double factor = doc->DensityFactor();
  const LabResults lab = EvaluateLab(*doc);

  std::string saturation[kPointSlots];
  for (std::size_t i = 0; i < lab.rows.size(); ++i) {
    if (const auto s = lab.saturation[i])
      saturation[lab.rows[i] - 1] = SaturationLine(lab.rows[i], *s);
  }
  for (int row = 1; row <= kPointSlots; ++row) {
    ControlAs<QLineEdit>(SaturationId(row))->setText(QString::fromStdString(saturation[row - 1]));
  }

  std::string density, moisture;
  if (lab.corrected) {
    density = framework::FormatFinite("%.1f", lab.corrected->maxDryDensityPcf * factor);
    if (lab.corrected->optimumMoisture) {
      moisture = framework::FormatFinite("%.1f", *lab.corrected->optimumMoisture);
    }
  }
  ControlAs<QLineEdit>(IDC_CORRECTED_DENSITY)->setText(QString::fromStdString(density));
  ControlAs<QLineEdit>(IDC_CORRECTED_MOISTURE)->setText(QString::fromStdString(moisture));
  ControlAs<QLabel>(IDC_DENSITY_UNIT)->setText(framework::FromCp1252(doc->DensityUnit()).trimmed());

  std::string checks;
  for (const std::string& c : lab.checks) checks += (checks.empty() ? "" : "\n") + c;
  ControlAs<QPlainTextEdit>(IDC_CHECKS)->setPlainText(framework::FromCp1252(checks));
}

std::string CSoilMethodPage::NameOf(int id) {
  const LabField* field = FieldOf(id);
  return pages::FieldName(field ? std::string_view(field->key) : std::string_view());
}

void CSoilMethodPage::OnNumberChange(int id) {
  if (!GetActiveDocument()) return;
  const QString typed = ControlAs<QLineEdit>(id)->text();
  const std::string text = framework::ToCp1252(typed);
  // Digits and one point only; and the mold volume, which every unit weight divides by, is
  // never empty.
  double value = 0.0;
  const std::string refusal =
      !IsNumericText(text) ? msg::kNumericOnly
      : !(FieldOf(id) ? pages::ParseOptionalNumber(text, value) : pages::ParseNumber(text, value))
          ? framework::stock::kEnterNumber
          : "";
  if (!refusal.empty()) {
    RefuseNumber(id, pages::FieldMessage(NameOf(id), refusal), m_typed[id]);
    return;
  }
  AcceptNumbers();
  m_typed[id] = {typed, ValueOf(id)};
}

EntryValue CSoilMethodPage::ValueOf(int id) const {
  const CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return {};
  const LabField* field = FieldOf(id);
  return field ? field->Get(doc->m_record.m_ext) : EntryValue(doc->m_record.m_dMoldVolume);
}

void CSoilMethodPage::AcceptNumbers() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  const double volume = doc->m_record.m_dMoldVolume;
  UpdateData(true);
  doc->SetModifiedFlag();
  // The dry unit weights, and so the fit, follow the mold volume.
  if (doc->m_record.m_dMoldVolume != volume) m_curve.FitRecord();
  ShowResults();
}

void CSoilMethodPage::RefuseNumber(int id, const std::string& message, const Accepted& accepted) {
  CDensoraDoc* doc = GetActiveDocument();
  ControlAs<QLineEdit>(id)->setText(accepted.text);
  if (doc && ValueOf(id) != accepted.value) {
    // The value itself, not its text read again: a value shown in 15 digits reads back as
    // another number.
    if (const LabField* field = FieldOf(id)) {
      field->Set(doc->m_record.m_ext, accepted.value);
    } else if (const double* volume = std::get_if<double>(&accepted.value)) {
      doc->m_record.m_dMoldVolume = *volume;
      m_curve.FitRecord();
    }
    doc->SetModifiedFlag();
    ShowResults();
  }
  m_bWarning = true;
  WarnAtField(id, message);
  m_bWarning = false;
}

void CSoilMethodPage::OnSelectStandard() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  LabExtension& x = doc->m_record.m_ext;
  const std::string standard = framework::ToCp1252(m_pStandard->currentText());
  if (standard == x.standard) return;
  x.standard = standard;
  // A method the new standard does not have is left blank for the user to choose again.
  if (!x.method.empty() && !OversizeLimit(x.standard, x.method)) x.method.clear();
  FillMethods();
  doc->SetModifiedFlag();
  ShowResults();
}

void CSoilMethodPage::OnSelectList(int id) {
  CDensoraDoc* doc = GetActiveDocument();
  auto* list = ControlAs<QComboBox>(id);
  if (!doc || !list) return;
  const LabField* field = FieldOf(id);
  if (!field) return;
  LabExtension& x = doc->m_record.m_ext;
  const std::string text = framework::ToCp1252(list->currentText());
  const EntryValue value = text.empty() ? EntryValue() : EntryValue(text);
  if (field->Get(x) == value) return;
  field->Set(x, value);
  doc->SetModifiedFlag();
  ShowResults();
}

void CSoilMethodPage::OnMoldButton(double volume) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  ControlAs<QLineEdit>(IDC_MOLD_VOLUME)
      ->setText(QString::fromStdString(pages::FormatNumber(volume)));
  if (doc->m_record.m_dMoldVolume == volume) return;
  doc->m_record.m_dMoldVolume = volume;
  doc->SetModifiedFlag();
  m_curve.FitRecord();
  ShowResults();
}

void CSoilMethodPage::OnNumberFocusOut(int id) {
  auto* edit = ControlAs<QLineEdit>(id);
  const std::string text = framework::ToCp1252(edit->text());
  const LabField* field = FieldOf(id);
  const std::string warning =
      field ? pages::LeavingEntryWarning(field->key, text) : pages::LeavingMoldVolumeWarning(text);
  if (warning.empty()) {
    m_entered[id] = {edit->text(), ValueOf(id)};
    return;
  }
  // Out of its range the value is refused: the field, and the record, go back to what the
  // field held when the user entered it.
  RefuseNumber(id, warning, m_entered[id]);
}

bool CSoilMethodPage::eventFilter(QObject* watched, QEvent* event) {
  const int id = watched->property("controlId").toInt();
  if (event->type() == QEvent::FocusIn && !m_bWarning) {
    m_entered[id] = {ControlAs<QLineEdit>(id)->text(), ValueOf(id)};
  } else if (event->type() == QEvent::FocusOut && !m_bWarning && isVisible() &&
             IsUserFocusReason(static_cast<QFocusEvent*>(event)->reason())) {
    OnNumberFocusOut(id);
  }
  return CTabPage::eventFilter(watched, event);
}
