#include <gtest/gtest.h>

#include "model/densora_doc.h"
#include "support/records.h"

TEST(Record, ANewDocumentHoldsAnEmptyRecordAndTheUnitTables) {
  CDensoraDoc doc;
  const CompactionRecord& r = doc.m_record;
  EXPECT_EQ(r.m_nVersion, 30509);
  EXPECT_TRUE(r.m_strProject.empty() && r.m_strComments.empty() && r.m_strDate.empty());
  EXPECT_EQ(r.m_dMoldVolume, 1.0 / 30.0);
  EXPECT_EQ(r.m_dMaxDryDensity, -1.0);
  EXPECT_EQ(r.m_dOptimumMoisture, -1.0);
  for (const auto& p : r.m_pPoints) EXPECT_TRUE(p->IsEmpty());
  EXPECT_EQ(doc.m_nUnits, kEnglish);
  EXPECT_EQ(doc.m_dDensityFactor[1], 16.01761145378001);
  EXPECT_EQ(doc.m_strAxisUnit[0], "   (pcf)");
  EXPECT_EQ(doc.m_strAxisUnit[1], " (kg/m\xB3)");
  EXPECT_EQ(doc.m_strDensityUnit[0], " pcf");
  EXPECT_EQ(doc.m_strVolumeUnit[0], "(ft\xB3)");
  EXPECT_EQ(doc.m_nAxisStep[1], 20);
  EXPECT_FALSE(doc.IsModified());
}

TEST(Record, ResetClearsEntriesButKeepsVolumeVersionResultsAndUnits) {
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  doc.m_record.m_dMoldVolume = 0.05;
  doc.m_record.m_nVersion = 12345;
  doc.m_record.m_dMaxDryDensity = 111.0;
  doc.m_record.m_dOptimumMoisture = 12.0;
  doc.m_record.m_nPointCount = 5;
  doc.m_record.m_ext.excluded[2] = "mold not seated";  // goes with its point
  doc.m_nUnits = kMetric;
  doc.ResetRecord();
  EXPECT_TRUE(doc.m_record.m_ext.Empty());
  const CompactionRecord& r = doc.m_record;
  EXPECT_TRUE(doc.AreRequiredEmpty());
  EXPECT_TRUE(r.m_strTipNo.empty() && r.m_strComments.empty());
  EXPECT_EQ(r.m_dLongTestDensity, 0.0);
  EXPECT_EQ(r.m_dLongTestMoisture, 0.0);
  EXPECT_EQ(r.m_nPointCount, 0);
  for (const auto& p : r.m_pPoints) EXPECT_TRUE(p->IsEmpty());
  EXPECT_EQ(r.m_dMoldVolume, 0.05);
  EXPECT_EQ(r.m_nVersion, 12345);
  EXPECT_EQ(r.m_dMaxDryDensity, 111.0);
  EXPECT_EQ(r.m_dOptimumMoisture, 12.0);
  EXPECT_EQ(doc.m_nUnits, kMetric);
}

TEST(Record, RequiredChecksTellEmptyFromPartlyFilled) {
  CDensoraDoc doc;
  EXPECT_TRUE(doc.IsRequiredMissing());
  EXPECT_TRUE(doc.AreRequiredEmpty());

  // Optional entries do not count.
  doc.m_record.m_strTipNo = "A-1";
  doc.m_record.m_strComments = "x";
  doc.m_record.Point(2).m_dMoldSoil = 5000;
  doc.m_record.m_dLongTestDensity = 100;
  EXPECT_TRUE(doc.AreRequiredEmpty());

  testdata::FillTypicalRecord(doc);
  EXPECT_FALSE(doc.IsRequiredMissing());
  EXPECT_FALSE(doc.AreRequiredEmpty());

  doc.m_record.m_dMoldWeight = 0.0;
  EXPECT_TRUE(doc.IsRequiredMissing());
  EXPECT_FALSE(doc.AreRequiredEmpty());

  doc.m_record.m_dMoldWeight = -5.0;  // a negative weight is an entry
  EXPECT_FALSE(doc.IsRequiredMissing());

  doc.m_record.m_strStation.clear();
  EXPECT_TRUE(doc.IsRequiredMissing());
  EXPECT_FALSE(doc.AreRequiredEmpty());
}

TEST(Record, CopiesKeepEachPointBoundToItsOwnRecord) {
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  CompactionRecord copy(doc.m_record);
  EXPECT_EQ(copy.Point(0).m_dMoldSoil, 6020.4);
  EXPECT_EQ(&copy.Point(0).m_pRecord, &copy);
  copy.m_dMoldWeight = 0.0;
  EXPECT_NE(copy.Point(0).DryUnitWeight(), doc.m_record.Point(0).DryUnitWeight());
}

TEST(Record, NewDocumentResetsAndUpdatesTheViews) {
  struct CountingView : framework::CView {
    void OnUpdate(framework::CView*, long hint) override { hints.push_back(hint); }
    std::vector<long> hints;
  } view;
  CDensoraDoc doc;
  doc.AddView(&view);
  testdata::FillTypicalRecord(doc);
  doc.SetPathName("/tmp/x/7Sub.lng");
  doc.SetModifiedFlag(true);
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_TRUE(doc.m_record.m_strProject.empty() && doc.m_record.m_dMoldWeight == 0.0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(view.hints, std::vector<long>{0});
  EXPECT_EQ(doc.GetTitle(), "7Sub.lng");  // the caption keeps naming the last file
  EXPECT_TRUE(doc.GetPathName().empty());
}
