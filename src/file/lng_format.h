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

// Why `bytes`, the file image of `record`, must not be written: the message (with "%1" where
// the file goes) of the first of the reader's limits the record breaks: more extension
// entries than a block holds, an entry's number that is not finite, a file larger than a
// document file is read. Last, the reader itself reads the bytes back: bytes it refuses, or
// reads as a record that would be written otherwise, are refused too. nullptr when the bytes
// may be written.
const char* LngWriteRefusal(const CompactionRecord& record,
                            const std::vector<unsigned char>& bytes);
