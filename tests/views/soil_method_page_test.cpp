// The Soil and Method page: the entries into the record, the range warnings as a field is
// left, the method list following the standard, the standard molds and the computed fields.
#include "views/soil_method_page.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "model/lab_results.h"
#include "model/messages.h"
#include "model/page_rules.h"
#include "support_qt/app_fixture.h"
#include "views/curve_page.h"
#include "views/test_data_page.h"

class SoilMethodPage : public AppFixture {
 protected:
  static constexpr int kTab = 4;
  void SetUp() override {
    ASSERT_TRUE(Start());
    ClickTab(kTab);
    page = View()->SoilMethodPage();
    ASSERT_TRUE(page->isVisible());
    Doc().SetModifiedFlag(false);
  }
  QLineEdit* Edit(int id) const { return Ctl(page, id); }
  QComboBox* List(int id) const { return Ctl<QComboBox>(page, id); }
  QStringList Items(int id) const {
    QStringList items;
    for (int i = 0; i < List(id)->count(); ++i) items << List(id)->itemText(i);
    return items;
  }
  // Chooses `text` in a list as the user does.
  void Choose(int id, const QString& text) {
    QComboBox* list = List(id);
    const int at = list->findText(text);
    ASSERT_GE(at, 0) << text.toStdString();
    list->setCurrentIndex(at);
    emit list->activated(at);
  }
  // Leaves the field with Tab, as the user does.
  void TabFrom(QLineEdit* edit) {
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
  }

  CSoilMethodPage* page = nullptr;
};

// Every entry the page edits has its control: the record's value shows there (a text no
// list holds too, one written by another program), and the page's values go back into the
// record as one field is typed.
TEST_F(SoilMethodPage, EveryEntryOfThePageShowsAndIsKept) {
  std::vector<const LabField*> fields;
  for (const LabField& f : LabFields()) {
    if (f.entry->page == EntryPage::kSoilMethod) fields.push_back(&f);
  }
  // Each number at the top of its range, each text one that no list holds.
  for (const LabField* f : fields) {
    f->Set(Record().m_ext, f->Type() == EntryType::kText ? EntryValue("BS " + f->key)
                                                         : EntryValue(f->entry->range.max));
  }
  const LabExtension entered = Record().m_ext;
  page->RefreshPage();
  for (const LabField* f : fields) {
    auto* control = Ctl<QWidget>(page, CSoilMethodPage::EntryControl(f->key));
    ASSERT_NE(control, nullptr) << f->key;
    const auto* list = qobject_cast<QComboBox*>(control);
    const QString shown = list ? list->currentText() : qobject_cast<QLineEdit*>(control)->text();
    EXPECT_EQ(shown, f->Type() == EntryType::kText
                         ? QString::fromStdString("BS " + f->key)
                         : QString::fromStdString(pages::FormatNumber(f->entry->range.max)));
  }
  Record().m_ext = LabExtension{};
  TypeOver(Edit(CSoilMethodPage::IDC_MOLD_VOLUME), "0.075");
  EXPECT_EQ(Record().m_ext, entered);
}

TEST_F(SoilMethodPage, TypedNumbersReachTheRecordAtOnce) {
  struct Case {
    const char* key;  // nullptr: the mold volume
    const char* text;
    EntryValue value;
  };
  for (const Case& c : {
           Case{nullptr, "0.075", 0.075},
           Case{"specificGravity", "2.70", 2.7},
           Case{"oversizeMoisture", "2.0", 2.0},
           // Emptied, a laboratory entry is "not entered" again, without a message.
           Case{"specificGravity", "", {}},
           // Oven-dry oversize holds no water: its 0 is a value; only the empty field is none.
           Case{"oversizeMoisture", "0", 0.0},
           Case{"oversizeMoisture", "", {}},
       }) {
    const LabField* f = c.key ? FindLabField(c.key) : nullptr;
    Doc().SetModifiedFlag(false);
    TypeOver(Edit(f ? CSoilMethodPage::EntryControl(c.key) : CSoilMethodPage::IDC_MOLD_VOLUME),
             c.text);
    EXPECT_EQ(f ? f->Get(Record().m_ext) : EntryValue(Record().m_dMoldVolume), c.value)
        << (c.key ? c.key : "mold volume") << " " << c.text;
    EXPECT_TRUE(Doc().IsModified()) << c.text;
  }
  // A record's entered 0 shows as 0, and one not entered as an empty field.
  Record().m_ext.oversizeMoisture = 0.0;
  page->RefreshPage();
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_OVERSIZE_MOISTURE)->text(), "0");
  Record().m_ext.oversizeMoisture.reset();
  page->RefreshPage();
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_OVERSIZE_MOISTURE)->text(), "");
  EXPECT_TRUE(prompt.shown.empty());
  // Only digits and one point are typed; an emptied mold volume is no number at all. The
  // message names the field, and the field goes back to its text before the refused key.
  TypeOver(Edit(CSoilMethodPage::IDC_GS), "2.70,");
  TypeOver(Edit(CSoilMethodPage::IDC_MOLD_VOLUME), "");
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{
                                "Specific gravity: enter numeric values only.",
                                "Mold volume: please enter a number.",
                            }));
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_GS)->text(), "2.70");
  EXPECT_EQ(Record().m_ext.specificGravity, 2.7);
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_MOLD_VOLUME)->text(), "0.075");
  EXPECT_EQ(Record().m_dMoldVolume, 0.075);
}

// A value out of its range is refused as the field is left: the message names the field and
// its range, the field and the record go back to the value the field held when the user
// entered it, and the field keeps the focus with that value selected.
TEST_F(SoilMethodPage, LeavingAFieldOutOfItsRangeNamesItAndGivesBackTheAcceptedValue) {
  // Every change on the page takes every field into the record: the mold volume as shown.
  const std::string startVolume = Edit(CSoilMethodPage::IDC_MOLD_VOLUME)->text().toStdString();
  double volume = 0.0;
  ASSERT_TRUE(pages::ParseNumber(startVolume, volume));
  struct Case {
    int id;
    const char* text;
    std::string warning;  // empty: none
    std::string shown;    // the field's text afterwards
  };
  for (const Case& c : {
           Case{CSoilMethodPage::IDC_GS, "2.70", "", "2.70"},
           Case{CSoilMethodPage::IDC_GS, "3.6",
                "Specific gravity: enter a value between 2.0 and 3.5.", "2.70"},
           Case{CSoilMethodPage::IDC_OVERSIZE_PERCENT, "120",
                "Oversize percent retained: enter a value between 0 and 100.", ""},
           Case{CSoilMethodPage::IDC_OVERSIZE_MOISTURE, "0", "", "0"},
           Case{CSoilMethodPage::IDC_OVERSIZE_MOISTURE, "100.5",
                "Oversize moisture: enter a value between 0 and 100.", "0"},
           Case{CSoilMethodPage::IDC_MOLD_VOLUME, "0", "Mold volume: enter a value greater than 0.",
                startVolume},
       }) {
    prompt.shown.clear();
    QLineEdit* edit = Edit(c.id);
    TypeOver(edit, c.text);
    TabFrom(edit);
    EXPECT_EQ(edit->text().toStdString(), c.shown) << c.id << " " << c.text;
    if (c.warning.empty()) {
      EXPECT_TRUE(prompt.shown.empty()) << c.id << " " << c.text;
      EXPECT_NE(FocusWidget(), edit) << c.id << " " << c.text;
      continue;
    }
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.warning}) << c.id << " " << c.text;
    EXPECT_EQ(FocusWidget(), edit) << c.id << " " << c.text;
    EXPECT_EQ(edit->selectedText().toStdString(), c.shown);
  }
  EXPECT_EQ(Record().m_ext.specificGravity, 2.7);
  EXPECT_EQ(Record().m_ext.oversizePercent, 0.0);
  EXPECT_EQ(Record().m_ext.oversizeMoisture, 0.0);
  EXPECT_EQ(Record().m_dMoldVolume, volume);
}

TEST_F(SoilMethodPage, TheMethodListFollowsTheStandard) {
  Record().m_ext.standard = "AASHTO T 180";
  Record().m_ext.method = "D";
  page->RefreshPage();
  EXPECT_EQ(Items(CSoilMethodPage::IDC_STANDARD),
            (QStringList{"", "AASHTO T 99", "AASHTO T 180", "ASTM D698", "ASTM D1557"}));
  EXPECT_EQ(Items(CSoilMethodPage::IDC_METHOD), (QStringList{"", "A", "B", "C", "D"}));
  EXPECT_EQ(List(CSoilMethodPage::IDC_METHOD)->currentText(), "D");
  EXPECT_FALSE(Doc().IsModified());

  Choose(CSoilMethodPage::IDC_STANDARD, "ASTM D698");  // has no method D
  EXPECT_EQ(Record().m_ext.standard, "ASTM D698");
  EXPECT_EQ(Record().m_ext.method, "");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Items(CSoilMethodPage::IDC_METHOD), (QStringList{"", "A", "B", "C"}));
  EXPECT_EQ(List(CSoilMethodPage::IDC_METHOD)->currentText(), "");

  Choose(CSoilMethodPage::IDC_METHOD, "B");
  Choose(CSoilMethodPage::IDC_STANDARD, "");  // the standard test, AASHTO T 99, has B
  EXPECT_EQ(Record().m_ext.standard, "");
  EXPECT_EQ(Record().m_ext.method, "B");
}

TEST_F(SoilMethodPage, TheMoldButtonsSetTheVolumeTheTestDataPageShows) {
  struct Case {
    int button;
    double volume;
    QString shown;
  };
  for (const Case& c : {Case{CSoilMethodPage::IDC_MOLD_6IN, 0.075, "0.075"},
                        Case{CSoilMethodPage::IDC_MOLD_4IN, 1.0 / 30.0, "0.0333333333333333"}}) {
    ClickTab(kTab);
    Doc().SetModifiedFlag(false);
    QTest::mouseClick(Ctl<QPushButton>(page, c.button), Qt::LeftButton);
    EXPECT_EQ(Record().m_dMoldVolume, c.volume);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Edit(CSoilMethodPage::IDC_MOLD_VOLUME)->text(), c.shown);
    ClickTab(1);
    EXPECT_EQ(Ctl(View()->TestDataPage(), CTestDataPage::IDC_MOLD_VOLUME)->text(), c.shown);
  }
}

TEST_F(SoilMethodPage, ShowsSaturationCorrectedResultsAndChecksAsTyped) {
  testdata::FillTypicalRecord(Doc());
  Record().m_ext.standard = "AASHTO T 180";
  Record().m_ext.method = "D";
  Doc().UpdateAllViews(nullptr, kHintRecord);
  EXPECT_EQ(Edit(CSoilMethodPage::SaturationId(1))->text(), "");  // no Gs yet
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_CORRECTED_DENSITY)->text(), "");

  TypeOver(Edit(CSoilMethodPage::IDC_GS), "2.70");
  TypeOver(Edit(CSoilMethodPage::IDC_OVERSIZE_PERCENT), "35");
  TypeOver(Edit(CSoilMethodPage::IDC_OVERSIZE_GS), "2.65");
  TypeOver(Edit(CSoilMethodPage::IDC_OVERSIZE_MOISTURE), "2.0");
  const LabResults lab =
      EvaluateLab(Record(), Record().m_dMaxDryDensity, Record().m_dOptimumMoisture);
  ASSERT_EQ(lab.rows, (std::vector<int>{1, 2, 3, 4, 5}));
  for (std::size_t i = 0; i < lab.rows.size(); ++i) {
    const QString text = Edit(CSoilMethodPage::SaturationId(lab.rows[i]))->text();
    EXPECT_EQ(text, QString::asprintf("Point %d  S = %.1f %%", lab.rows[i], *lab.saturation[i]));
  }
  EXPECT_EQ(Edit(CSoilMethodPage::SaturationId(6))->text(), "");  // an empty slot
  ASSERT_TRUE(lab.corrected && lab.corrected->optimumMoisture);
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_CORRECTED_DENSITY)->text(),
            QString::number(lab.corrected->maxDryDensityPcf, 'f', 1));
  EXPECT_EQ(Ctl<QLabel>(page, CSoilMethodPage::IDC_DENSITY_UNIT)->text(), "pcf");
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_CORRECTED_MOISTURE)->text(),
            QString::number(*lab.corrected->optimumMoisture, 'f', 1));
  EXPECT_EQ(Ctl<QPlainTextEdit>(page, CSoilMethodPage::IDC_CHECKS)->toPlainText(),
            "WARNING: Method D calls for the 6-inch (0.075 cu. ft.) mold\n"
            "WARNING: 35.0 % oversize exceeds the 30 % limit of Method D");
  // Oven-dry oversize still gives a corrected optimum.
  TypeOver(Edit(CSoilMethodPage::IDC_OVERSIZE_MOISTURE), "0");
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_CORRECTED_MOISTURE)->text(),
            QString::number(Record().m_dOptimumMoisture * 0.65, 'f', 1));

  // In metric units the corrected density is in kilograms per cubic metre.
  ClickTab(2);
  QTest::mouseClick(Ctl<QRadioButton>(View()->CurvePage(), CCurvePage::IDC_METRIC), Qt::LeftButton);
  ClickTab(kTab);
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_CORRECTED_DENSITY)->text(),
            QString::number(lab.corrected->maxDryDensityPcf * kMetricDensityFactor, 'f', 1));
  EXPECT_EQ(Ctl<QLabel>(page, CSoilMethodPage::IDC_DENSITY_UNIT)->text(), "kg/m\u00B3");

  // Without a mold volume the points have no dry unit weight, and so no saturation.
  TypeOver(Edit(CSoilMethodPage::IDC_MOLD_VOLUME), "0");
  EXPECT_EQ(Edit(CSoilMethodPage::SaturationId(1))->text(), "");
  EXPECT_EQ(Edit(CSoilMethodPage::IDC_CORRECTED_DENSITY)->text(), "");

  // A point denser than Gs·γw has no degree of saturation to give.
  Record().m_dMoldVolume = 1.0 / 30.0;
  testdata::SetPoint(Record(), 5, 10.0, 2.70 * 62.4 + 1.0);
  Doc().UpdateAllViews(nullptr, kHintRecord);
  EXPECT_EQ(Edit(CSoilMethodPage::SaturationId(6))->text(), "Point 6  S > 100 %");
  EXPECT_TRUE(Ctl<QPlainTextEdit>(page, CSoilMethodPage::IDC_CHECKS)
                  ->toPlainText()
                  .contains("WARNING: Point 6 lies above the zero-air-voids curve (S > 100 %)"));
}
