#pragma once
// The .lng compaction file: one record as a flat run of little-endian fields.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/archive.h"
#include "model/compaction_record.h"

enum class LngReadResult {
  kOk,            // the whole record was read
  kNewerVersion,  // the version is above the one this program writes
  kBadMagic,      // the bytes after the version are not the text "lng"
};

// Writes the record, version first (always the current one; the record's version is set
// to it), in the file's field order.
void WriteLngRecord(framework::CArchive& ar, CompactionRecord& record);

// Reads one record into `out`. Raises CArchiveException when the data ends early. On a
// refusal `version` holds the file's first four bytes and `out` may be partly filled: the
// caller reads into a record of its own and takes it only on kOk.
LngReadResult ReadLngRecord(framework::CArchive& ar, CompactionRecord& out, std::int32_t& version);

// The whole file image of a record.
std::vector<unsigned char> LngBytes(CompactionRecord& record);
