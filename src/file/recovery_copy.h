#pragma once
// The recovery copy of a record that has changes not yet saved, and what a start does with
// a copy left behind by a crash or a power cut.
//
// The copy is one file, written by one atomic rename: a short header (its tag, its layout
// version, the document path, the unit system and the stamp of the file last read or
// written) followed by the record in the .lng layout. One file, so that no crash between two
// writes can pair a record with another test's path, which a later Save would overwrite.
#include <string>
#include <vector>

class CDensoraDoc;

namespace recovery {

// The copy of the document's record.
std::vector<unsigned char> Encode(CDensoraDoc& doc);

// What became of a copy left at a path.
enum class Offer {
  kNone,       // there is no copy
  kRecovered,  // Yes: the copy is in the document, as a modified record
  kDeclined,   // No: the copy is removed
  kSetAside,   // it could not be read: reported by name and moved aside as *.unreadable
  kNewer,      // a newer Densora wrote it: reported and left where it is, for that program
};

// Offers the copy at `copyPath`, if there is one, by its test's name (its document path,
// or "Untitled" with its Project and Test No.). Yes reads it into `doc` as a modified
// record, with its document path or untitled, its unit system and the stamp of its file;
// No removes it. A copy that cannot be read, or that the reader refuses, is reported and
// moved aside, where no later start offers it again.
Offer OfferLeftCopy(const std::string& copyPath, CDensoraDoc& doc);

}  // namespace recovery
