#pragma once
// Records with known points for tests.
#include <filesystem>
#include <string>
#include <vector>

#include "model/densora_doc.h"

namespace testdata {

// Sets slot `slot` to weights that give `moisturePercent` and a dry unit weight of `dryPcf`
// with the record's mold weight and volume.
void SetPoint(CompactionRecord& r, int slot, double moisturePercent, double dryPcf);

// The three-point example: moistures 10, 12, 14 % at 100, 104, 101 pcf, mold 4000 g.
void FillThreePointExample(CDensoraDoc& doc);

// A complete record with project texts and five points, as a technician would enter it.
void FillTypicalRecord(CDensoraDoc& doc);

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

std::vector<unsigned char> ReadBytes(const std::string& path);

// Expects `text` to be, byte for byte, the golden file `name` under tests/data/golden.
// DENSORA_UPDATE_GOLDEN=1 writes it there instead; review the difference before committing.
void ExpectGolden(const std::string& name, const std::string& text);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace testdata
