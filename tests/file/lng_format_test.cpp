#include "file/lng_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "cli/cli.h"
#include "framework/file_io.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "support/platform.h"
#include "support/records.h"
#include "support/scripted_prompt.h"

using Bytes = std::vector<unsigned char>;
using testdata::ReadBytes;
using testdata::TempDir;
using testdata::WriteBytes;

namespace {

Bytes Image(CDensoraDoc& doc) { return LngBytes(doc.m_record); }

void ExpectSameRecord(const CompactionRecord& a, const CompactionRecord& b) {
  CompactionRecord ca(a), cb(b);
  EXPECT_EQ(LngBytes(ca), LngBytes(cb));
  EXPECT_EQ(a.m_nVersion, b.m_nVersion);
}

std::string SamplePath(const char* rel) { return std::string(DENSORA_SAMPLES_DIR) + "/" + rel; }

}  // namespace

TEST(LngWriter, AnEmptyRecordIs213Bytes) {
  CDensoraDoc doc;
  doc.m_record.m_dMaxDryDensity = 0;
  doc.m_record.m_dOptimumMoisture = 0;
  const Bytes b = Image(doc);
  ASSERT_EQ(b.size(), 213u);
  const Bytes head = {0x2D, 0x77, 0x00, 0x00, 0x03, 0x6C, 0x6E, 0x67};
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), head);
  EXPECT_EQ(Bytes(b.begin() + 8, b.begin() + 24), Bytes(16, 0x00));  // 8 texts, mold weight
  const Bytes volume = {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0xA1, 0x3F};
  EXPECT_EQ(Bytes(b.begin() + 24, b.begin() + 32), volume);
  EXPECT_EQ(Bytes(b.begin() + 32, b.end()), Bytes(181, 0x00));
}

TEST(LngWriter, FieldsLandInTheirPlaces) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_nVersion = 12345;  // a file read with an old version is written as the current one
  r.m_strProject = "P";
  r.m_strComments = std::string(255, 'c');
  r.m_nPointCount = 2;
  r.Point(0).m_dMoldSoil = 1.0;
  r.Point(0).m_dWetSample = 2.0;
  r.Point(0).m_dDrySample = 3.0;
  r.m_dLongTestMoisture = 13.0;
  const Bytes b = Image(doc);
  EXPECT_EQ(r.m_nVersion, 30509);
  EXPECT_EQ(b[0], 0x2D);
  EXPECT_EQ(b[8], 1);
  EXPECT_EQ(b[9], 'P');
  framework::CArchive ar(b.data() + 33, 8 * 4);
  EXPECT_EQ(ar.ReadInt32(), 2);
  EXPECT_EQ(ar.ReadDouble(), 1.0);  // mold+soil first, then wet, then dry
  EXPECT_EQ(ar.ReadDouble(), 2.0);
  EXPECT_EQ(ar.ReadDouble(), 3.0);
  framework::CArchive tail(b.data() + 205, 8);
  EXPECT_EQ(tail.ReadDouble(), 13.0);
  EXPECT_EQ(Bytes(b.begin() + 213, b.begin() + 216), (Bytes{0xFF, 0xFF, 0x00}));
  EXPECT_EQ(b.size(), 213u + 1 + 2 + 255);
}

TEST(LngReader, ReadsWhatWasWrittenAndWritesItBackUnchanged) {
  TempDir dir;
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  doc.m_record.m_strProject = std::string(300, 'p');
  doc.m_record.m_strStation = std::string(70000, 's');
  ASSERT_TRUE(doc.OnSaveDocument(dir / "a.lng"));
  const Bytes first = ReadBytes(dir / "a.lng");

  CDensoraDoc other;
  ScriptedPrompt prompt;
  ASSERT_TRUE(other.OnOpenDocument(dir / "a.lng"));
  EXPECT_TRUE(prompt.shown.empty());
  ExpectSameRecord(other.m_record, doc.m_record);
  ASSERT_TRUE(other.OnSaveDocument(dir / "b.lng"));
  EXPECT_EQ(ReadBytes(dir / "b.lng"), first);
}

// Each sample project's file reads without a word and, written again, gives back its bytes:
// as it was read, and after the fit that opening it runs (the point count and the two
// results it stores are those the fit gives).
TEST(LngReader, WritesTheSampleProjectsBackByteForByte) {
  ScriptedPrompt prompt;
  for (const char* f : {"MAIN ST/A-100/Subgrade/7Sub.lng", "MAIN ST/A-100/Embankment/3Emb.lng",
                        "COUNTY RD 9/Lime/12Lim.lng"}) {
    SCOPED_TRACE(f);
    const Bytes original = ReadBytes(SamplePath(f));
    CDensoraDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(SamplePath(f)));
    EXPECT_EQ(Image(doc), original);
    CDensityCurve curve(doc);
    curve.FitRecord();
    EXPECT_EQ(Image(doc), original);
  }
  EXPECT_TRUE(prompt.shown.empty());
}

class LngReaderRefusal : public ::testing::Test {
 protected:
  void SetUp() override {
    testdata::FillTypicalRecord(doc);
    doc.SetPathName("/somewhere/7Sub.lng");
    doc.SetModifiedFlag(true);
    before = Image(doc);
  }
  // The document must look exactly as before the open.
  void ExpectUntouched() {
    EXPECT_EQ(Image(doc), before);
    EXPECT_EQ(doc.m_record.m_nVersion, 30509);
    EXPECT_EQ(doc.GetPathName(), "/somewhere/7Sub.lng");
    EXPECT_EQ(doc.GetTitle(), "7Sub.lng");
    EXPECT_TRUE(doc.IsModified());
  }
  Bytes ValidFile() {
    CDensoraDoc other;
    other.m_record.m_strProject = "Other";
    other.m_record.m_strComments = "tail";
    other.m_record.Point(0).m_dMoldSoil = 6000;
    return Image(other);
  }

  TempDir dir;
  CDensoraDoc doc;
  ScriptedPrompt prompt;
  Bytes before;
};

TEST_F(LngReaderRefusal, NewerVersionIsRefusedWithoutLookingFurther) {
  for (std::int32_t version : {30510, 0x7FFFFFFF}) {
    Bytes b = {0, 0, 0, 0, 'n', 'o', 't', ' ', 'l', 'n', 'g'};
    std::memcpy(b.data(), &version, 4);
    WriteBytes(dir / "new.lng", b);
    EXPECT_FALSE(doc.OnOpenDocument(dir / "new.lng"));
    ExpectUntouched();
  }
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, "Your executable file needs updating to latest release.");
  EXPECT_EQ(prompt.shown[0].icon, framework::MsgIcon::Stop);
  EXPECT_EQ(prompt.shown[0].buttons, framework::MsgButtons::Ok);
}

TEST_F(LngReaderRefusal, WrongMagicIsRefused) {
  for (const Bytes& b : {Bytes{0x2D, 0x77, 0, 0, 3, 'L', 'N', 'G'}, Bytes{1, 0, 0, 0, 2, 'l', 'n'},
                         Bytes{0x2D, 0x77, 0, 0, 4, 'l', 'n', 'g', 'x'},
                         Bytes{0x2D, 0x77, 0, 0, 0, 3, 'l', 'n', 'g'}}) {
    WriteBytes(dir / "bad.lng", b);
    EXPECT_FALSE(doc.OnOpenDocument(dir / "bad.lng"));
    ExpectUntouched();
  }
  ASSERT_EQ(prompt.shown.size(), 4u);
  for (const auto& m : prompt.shown) {
    EXPECT_EQ(m.text, "The file is not a valid compaction file or it may be corrupted.");
    EXPECT_EQ(m.icon, framework::MsgIcon::Stop);
  }
}

TEST_F(LngReaderRefusal, EveryTruncationIsAnUnexpectedFormat) {
  const Bytes valid = ValidFile();
  for (std::size_t len = 1; len < valid.size(); ++len) {
    prompt.shown.clear();
    WriteBytes(dir / "cut.lng", Bytes(valid.begin(), valid.begin() + static_cast<long>(len)));
    EXPECT_FALSE(doc.OnOpenDocument(dir / "cut.lng")) << len;
    ASSERT_EQ(prompt.shown.size(), 1u) << len;
    // A cut inside the version or the magic may read as a wrong magic; past it, always an
    // early end.
    if (len >= 8) {
      EXPECT_EQ(prompt.shown[0].text, "Unexpected file format.") << len;
    }
    ExpectUntouched();
  }
}

TEST_F(LngReaderRefusal, ATextLongerThanTheFileIsAnEarlyEnd) {
  Bytes b = {0x2D, 0x77, 0, 0, 3, 'l', 'n', 'g', 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF};
  WriteBytes(dir / "huge.lng", b);
  EXPECT_FALSE(doc.OnOpenDocument(dir / "huge.lng"));
  ASSERT_EQ(prompt.Texts(), std::vector<std::string>{"Unexpected file format."});
  ExpectUntouched();
}

TEST_F(LngReaderRefusal, AMissingFileIsReported) {
  EXPECT_FALSE(doc.OnOpenDocument(dir / "none.lng"));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{(dir / "none.lng") + " was not found."});
  ExpectUntouched();
}

// Only a regular file is read. A pipe would wait for a writer for ever, a device may never
// end; each, and a folder or a socket under a test's name, is refused by name, in the program
// and in densora-cli show alike.
TEST_F(LngReaderRefusal, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  using testdata::Lacks;
  using testdata::Need;
  std::filesystem::create_directory(dir / "folder.lng");
  std::vector<std::string> names = {"folder.lng"};
  // What the system has of the others.
  if (!Lacks(Need::kFifo)) {
    ASSERT_TRUE(testdata::MakeFifo(dir / "pipe.lng"));
    names.push_back("pipe.lng");
  }
  if (!Lacks(Need::kDevice) && !Lacks(Need::kSymlink)) {
    std::filesystem::create_symlink("/dev/zero", dir / "device.lng");
    names.push_back("device.lng");
  }
  std::function<void()> closeSocket = [] {};
  if (!Lacks(Need::kSocket)) {
    closeSocket = testdata::BindSocket(dir / "socket.lng");
    names.push_back("socket.lng");
  }
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string path = dir / name;
    const std::string message = path + " is not a regular file.";
    prompt.shown.clear();
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{message});
    ExpectUntouched();
    std::ostringstream out, err;
    EXPECT_EQ(cli::Run({"show", path}, out, err), 1);
    EXPECT_EQ(err.str(), path + ": " + message + "\n");
    framework::SetPrompt(&prompt);  // the tool's own prompt took its place
  }
  closeSocket();
}

// An empty file would otherwise give its name to the record on screen; a huge one would be
// read whole. Both are refused as no compaction file, the huge one without reading it.
TEST_F(LngReaderRefusal, EmptyAndOversizedFilesAreRefused) {
  WriteBytes(dir / "empty.lng", {});
  Bytes oversized = ValidFile();
  oversized.resize(CDensoraDoc::kMaxFileBytes + 1);  // a valid record with a long tail
  WriteBytes(dir / "oversized.lng", oversized);
  {
    std::ofstream(dir / "sparse.lng");
    std::filesystem::resize_file(dir / "sparse.lng", std::uintmax_t{2} << 30);  // 2 GiB, no blocks
  }
  for (const char* name : {"empty.lng", "oversized.lng", "sparse.lng"}) {
    prompt.shown.clear();
    EXPECT_FALSE(doc.OnOpenDocument(dir / name)) << name;
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Unexpected file format."}) << name;
    EXPECT_EQ(doc.LastOpenFailure(), CDensoraDoc::OpenFailure::kRefused) << name;
    ExpectUntouched();
  }
  // A file that cannot be read at all is a failure of another kind.
  EXPECT_FALSE(doc.OnOpenDocument(dir / "missing.lng"));
  EXPECT_EQ(doc.LastOpenFailure(), CDensoraDoc::OpenFailure::kFileError);
}

// The laboratory's own data travels in a block after the comments: read back whole, with an
// entry of a later version kept as it came and an oversize moisture of 0 kept as entered; a
// broken block refuses the whole file, and so does a key named twice.
TEST(LngExtensionBlock, RoundTripsAndRefusesWhatIsBroken) {
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  const std::size_t plain = Image(doc).size();
  LabExtension& x = doc.m_record.m_ext;
  x.specificGravity = 2.70;
  x.specificGravitySource = "assumed";
  x.oversizePercent = 12.0;
  x.oversizeMoisture = 0.0;
  x.standard = "AASHTO T 180";
  x.method = "D";
  x.unknown.push_back(ExtensionEntry{"laterKey", 'I', 0.0, 7, {}});
  x.unknown.push_back(ExtensionEntry{"laterKeZ", 'I', 0.0, 8, {}});
  const Bytes image = Image(doc);
  EXPECT_EQ(Bytes(image.begin() + plain, image.begin() + plain + 5),
            (Bytes{4, 'l', 'n', 'g', 'x'}));

  TempDir dir;
  WriteBytes(dir / "x.lng", image);
  CDensoraDoc back;
  ScriptedPrompt prompt;
  ASSERT_TRUE(back.OnOpenDocument(dir / "x.lng"));
  EXPECT_EQ(back.m_record.m_ext, x);
  EXPECT_EQ(Image(back), image);

  // Trailing bytes that are no block are ignored, as they always were.
  Bytes trailing(image.begin(), image.begin() + plain);
  trailing.insert(trailing.end(), {4, 'j', 'u', 'n', 'k', 1, 2, 3});
  WriteBytes(dir / "t.lng", trailing);
  ASSERT_TRUE(back.OnOpenDocument(dir / "t.lng"));
  EXPECT_TRUE(back.m_record.m_ext.Empty());

  // Cut anywhere inside the block, or with a count above 64, an unknown type or a
  // non-finite number: "Unexpected file format.", and the record stays.
  std::vector<Bytes> broken;
  for (std::size_t len = plain + 5; len < image.size(); len += 3)
    broken.emplace_back(image.begin(), image.begin() + len);
  auto patched = [&](std::size_t at, Bytes with) {
    Bytes b = image;
    std::copy(with.begin(), with.end(), b.begin() + at);
    return b;
  };
  broken.push_back(patched(plain + 9, {65, 0, 0, 0}));
  const std::size_t firstType = plain + 13 + 1 + 15;  // after "specificGravity"
  broken.push_back(patched(firstType, {'Z'}));
  broken.push_back(patched(firstType + 1, {0, 0, 0, 0, 0, 0, 0xF8, 0x7F}));  // NaN
  const std::string later = "laterKeZ";
  const std::size_t laterAt = static_cast<std::size_t>(
      std::search(image.begin(), image.end(), later.begin(), later.end()) - image.begin());
  broken.push_back(patched(laterAt, {'l', 'a', 't', 'e', 'r', 'K', 'e', 'y'}));  // twice
  broken.push_back(patched(laterAt, {'s', 't', 'a', 'n', 'd', 'a', 'r', 'd'}));  // a known one
  for (const Bytes& b : broken) {
    prompt.shown.clear();
    WriteBytes(dir / "b.lng", b);
    EXPECT_FALSE(back.OnOpenDocument(dir / "b.lng")) << b.size();
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Unexpected file format."}) << b.size();
  }

  // A known key a file stored with another type is kept as it came, until a value entered
  // for it replaces it: the key is never written twice.
  x = LabExtension{};
  x.unknown.push_back(ExtensionEntry{"method", 'I', 0.0, 4, {}});
  x.method = "C";
  WriteBytes(dir / "m.lng", Image(doc));
  ASSERT_TRUE(back.OnOpenDocument(dir / "m.lng"));
  LabExtension methodOnly;
  methodOnly.method = "C";
  EXPECT_EQ(back.m_record.m_ext, methodOnly);
}

// Whatever extension block a record carries (entries of a later version or another tool,
// long keys and texts, numbers that are not finite, more entries than a block holds), a save
// writes bytes the reader takes back as the same record, or writes nothing at all, says why
// and leaves the record modified.
TEST(LngSave, NeverWritesWhatTheReaderRefuses) {
  TempDir dir;
  const std::string path = dir / "7Sub.lng";
  {
    CDensoraDoc previous;
    testdata::FillTypicalRecord(previous);
    ASSERT_TRUE(previous.OnSaveDocument(path));
  }
  ScriptedPrompt prompt;
  std::mt19937 rng(18);
  auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto number = [&]() {
    switch (below(12)) {
      case 0:
        return std::numeric_limits<double>::quiet_NaN();
      case 1:
        return below(2) ? HUGE_VAL : -HUGE_VAL;
      case 2:
        return 0.0;
      default:
        return std::ldexp(static_cast<double>(rng()) - 2147483648.0, below(80) - 40);
    }
  };
  // Mostly short texts; now and then one across the archive's longer length prefixes.
  auto text = [&]() {
    const int n = below(20) == 0 ? 0xFFF0 + below(0x20) : below(300);
    std::string t(static_cast<std::size_t>(n), ' ');
    for (char& c : t) c = static_cast<char>(below(256));
    return t;
  };
  int saved = 0, refused = 0;
  for (int round = 0; round < 200; ++round) {
    CDensoraDoc doc;
    testdata::FillTypicalRecord(doc);
    LabExtension& x = doc.m_record.m_ext;
    if (below(2)) x.specificGravity = number();
    if (below(2)) x.oversizePercent = number();
    if (below(2)) x.standard = "AASHTO T 180";
    bool readable = std::isfinite(x.specificGravity) && std::isfinite(x.oversizePercent);
    // Around a full block: up to 16 entries short of it or beyond it.
    const int count = below(3) == 0 ? below(8) : 48 + below(33);
    for (int i = 0; i < count; ++i) {
      ExtensionEntry e;
      e.key = "later" + std::to_string(i) + std::string(static_cast<std::size_t>(below(400)), 'k');
      e.type = "DSIDSIQ"[below(7)];
      if (e.type == 'D') e.number = number();
      if (e.type == 'S') e.text = text();
      if (e.type == 'I') e.integer = static_cast<std::int32_t>(rng());
      readable = readable && e.type != 'Q' && std::isfinite(e.number);
      x.unknown.push_back(e);
    }
    if (round == 0) {  // one text alone larger than any file the reader opens
      x.unknown.push_back(ExtensionEntry{"huge", 'S', 0.0, 0, std::string(16u << 20, 'x')});
      readable = false;
    }
    const int entries = (x.specificGravity != 0.0) + (x.oversizePercent != 0.0) +
                        !x.standard.empty() + static_cast<int>(x.unknown.size());
    readable = readable && entries <= 64;

    const Bytes before = ReadBytes(path);
    prompt.shown.clear();
    doc.SetModifiedFlag(true);
    const bool written = doc.OnSaveDocument(path);
    ASSERT_EQ(written, readable) << "round " << round;
    if (written) {
      ++saved;
      CDensoraDoc back;
      ASSERT_TRUE(back.OnOpenDocument(path)) << "round " << round;
      EXPECT_EQ(back.m_record.m_ext, x) << "round " << round;
      EXPECT_EQ(Image(back), ReadBytes(path));
    } else {
      ++refused;
      ASSERT_EQ(prompt.shown.size(), 1u);
      EXPECT_EQ(prompt.shown[0].text.rfind(path + " cannot be saved: ", 0), 0u)
          << prompt.shown[0].text;
      EXPECT_EQ(ReadBytes(path), before);
      EXPECT_TRUE(doc.IsModified());
    }
  }
  // Both sides of every limit were reached.
  EXPECT_GT(saved, 20);
  EXPECT_GT(refused, 20);
}

TEST(LngReader, OldAndNegativeVersionsShareTheLayout) {
  TempDir dir;
  CDensoraDoc source;
  source.m_record.m_strProject = "Old";
  Bytes b = Image(source);
  for (std::int32_t version : {12345, 0, -7}) {
    std::memcpy(b.data(), &version, 4);
    WriteBytes(dir / "old.lng", b);
    CDensoraDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir / "old.lng"));
    EXPECT_EQ(doc.m_record.m_nVersion, version);
    EXPECT_EQ(doc.m_record.m_strProject, "Old");
    EXPECT_EQ(Image(doc)[0], 0x2D);
  }
}

TEST(LngReader, TwoOpensInARowOverwriteEveryStoredField) {
  TempDir dir;
  CDensoraDoc a;
  testdata::FillTypicalRecord(a);
  ASSERT_TRUE(a.OnSaveDocument(dir / "a.lng"));
  CDensoraDoc b;
  b.m_record.m_strProject = "Second";
  ASSERT_TRUE(b.OnSaveDocument(dir / "b.lng"));

  CDensoraDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(dir / "a.lng"));
  ASSERT_TRUE(doc.OnOpenDocument(dir / "b.lng"));
  EXPECT_EQ(doc.m_record.m_strProject, "Second");
  EXPECT_TRUE(doc.m_record.m_strCounty.empty());
  EXPECT_TRUE(doc.m_record.Point(0).IsEmpty());
}

TEST(LngSave, AFailedWriteLeavesThePreviousFileIntact) {
  if (const char* why = testdata::Lacks(testdata::Need::kFileSizeLimit)) GTEST_SKIP() << why;
  TempDir dir;
  const std::string path = dir / "7Sub.lng";
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  ASSERT_TRUE(doc.OnSaveDocument(path));
  const Bytes previous = ReadBytes(path);

  // A child process whose files may not grow past 100 bytes: the write fails part way,
  // as on a full disk.
  const int code = testdata::InChildProcess(
      [&] {
        ScriptedPrompt prompt;
        CDensoraDoc child;
        testdata::FillTypicalRecord(child);
        child.m_record.m_strComments = std::string(5000, 'x');
        child.SetModifiedFlag(true);
        const bool saved = child.OnSaveDocument(path);
        const bool reported = prompt.shown.size() == 1 &&
                              prompt.shown[0].text == "Disk full while accessing " + path + ".";
        return !saved && reported && child.IsModified() ? 0 : 1;
      },
      100);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadBytes(path), previous);
  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

// A save replaces the contents of the file and nothing else about it: a link stays a link,
// permissions stay, a new file follows the umask, any legal name can be saved, and what is
// not a file is never replaced.
TEST(LngSave, ASaveKeepsWhatTheFileWas) {
  namespace fs = std::filesystem;
  if (const char* why = testdata::Lacks(testdata::Need::kModeBits)) GTEST_SKIP() << why;
  TempDir dir;
  ScriptedPrompt prompt;
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  const Bytes image = Image(doc);

  fs::create_directory(dir / "real");
  WriteBytes(dir / "real/7Sub.lng", {1});
  fs::create_symlink("real/7Sub.lng", dir / "link.lng");
  ASSERT_TRUE(doc.OnSaveDocument(dir / "link.lng"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.lng"));
  EXPECT_EQ(ReadBytes(dir / "real/7Sub.lng"), image);

  testdata::SetFileMode(dir / "real/7Sub.lng", 0640);
  ASSERT_TRUE(doc.OnSaveDocument(dir / "real/7Sub.lng"));
  EXPECT_EQ(testdata::FileMode(dir / "real/7Sub.lng"), 0640u);

  const unsigned previous = testdata::SetUmask(027);
  const bool savedNew = doc.OnSaveDocument(dir / "new.lng");
  testdata::SetUmask(previous);
  ASSERT_TRUE(savedNew);
  EXPECT_EQ(testdata::FileMode(dir / "new.lng"), 0640u);

  const std::string longest = std::string(251, 'n') + ".lng";  // 255 bytes, the most a name holds
  ASSERT_TRUE(doc.OnSaveDocument(dir / longest));
  EXPECT_EQ(ReadBytes(dir / longest), image);

  ASSERT_TRUE(testdata::MakeFifo(dir / "pipe.lng"));
  fs::create_symlink("pipe.lng", dir / "to-pipe.lng");
  EXPECT_FALSE(doc.OnSaveDocument(dir / "pipe.lng"));
  EXPECT_FALSE(doc.OnSaveDocument(dir / "to-pipe.lng"));
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.lng"));
  EXPECT_TRUE(fs::is_symlink(dir / "to-pipe.lng"));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{(dir / "pipe.lng") + " is not a regular file.",
                                      (dir / "to-pipe.lng") + " is not a regular file."}));
}

TEST(LngSave, ReadOnlyFilesAndMissingFoldersAreReported) {
  TempDir dir;
  ScriptedPrompt prompt;
  CDensoraDoc doc;
  doc.SetModifiedFlag(true);
  const std::string path = dir / "ro.lng";
  WriteBytes(path, {1, 2, 3});
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_FALSE(doc.OnSaveDocument(path));
  EXPECT_EQ(ReadBytes(path), (Bytes{1, 2, 3}));
  EXPECT_FALSE(doc.OnSaveDocument(dir / "no/such/folder/x.lng"));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Access to " + framework::ShownPath(path) + " was denied.",
                                      framework::ShownPath(dir / "no/such/folder/x.lng") +
                                          " contains an invalid path."}));
}
