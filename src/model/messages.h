#pragma once
// The program's own messages, in one place: each a whole sentence, with "%1" where a path or
// a field's name goes (framework::FormatStock fills it in). The framework's stock texts
// ("Unexpected file format.", "%1 was not found.", ...) are in framework/prompt.h.
namespace msg {

// Saving and the save-changes questions.
inline constexpr const char* kPartlyFilled =
    "WARNING: A file cannot be saved; one or more required fields missing.  Continue?";
inline constexpr const char* kSaveChangesTo = "Do you want to save the changes you made to \"%1\"?";
inline constexpr const char* kRequiredMissing =
    "File cannot be saved: one or more required fields missing";
inline constexpr const char* kInvalidName =
    "File cannot be saved: %1 is not a valid folder or file name";
inline constexpr const char* kCouldNotCreate = "Could not create %1";
inline constexpr const char* kCouldNotChangeTo = "Could not change to directory %1";
inline constexpr const char* kReplaceExisting = "%1 already exists.\nDo you want to replace it?";
// A record that the program could not read back is never written.
inline constexpr const char* kTooManyLabEntries =
    "%1 cannot be saved: it holds more laboratory entries than a compaction file can keep.";
inline constexpr const char* kLabEntryNotFinite =
    "%1 cannot be saved: one of its laboratory entries is not a finite number.";
inline constexpr const char* kRecordTooLarge =
    "%1 cannot be saved: it is larger than a compaction file can be.";
inline constexpr const char* kNotReadBack = "%1 cannot be saved: it would not read back as it is.";

// Opening.
inline constexpr const char* kIncompatible =
    "Warning: file may be incompatible, program may crash. Proceed?";
inline constexpr const char* kNeedsUpdate =
    "Your executable file needs updating to latest release.";
inline constexpr const char* kNotCompactionFile =
    "The file is not a valid compaction file or it may be corrupted.";

// The open test's file, changed or removed by another program (another technician's Densora
// on a shared folder). The second is followed by the reader's own message.
inline constexpr const char* kReadAgain =
    "%1 was changed by another program and has been read again.";
inline constexpr const char* kNotReadAgain =
    "%1 was changed by another program and could not be read again: ";
inline constexpr const char* kNoLongerFound =
    "%1 can no longer be found; the test stays on screen, and Save writes it again.";

// The projects directory and Delete.
inline constexpr const char* kPathDoesNotExist = "Error: File path does not exist";
inline constexpr const char* kDeleteFolder =
    "Are you sure you want to delete folder \"%1\" and all its contents?";
inline constexpr const char* kDeleteFile = "Are you sure you want to delete file \"%1\"?";
inline constexpr const char* kOutsideProjects =
    "%1 lies outside the projects directory and was not deleted.";

// The pages' checks of what is typed.
inline constexpr const char* kDryOverWet = "The dry weight should be less than the wet weight.";
inline constexpr const char* kWetOverMoldSoil =
    "Warning: The wet weight should be less than the weight of mold+soil.";
inline constexpr const char* kNumericOnly = "Enter numeric values only";

// Printing.
inline constexpr const char* kPrinterDidNotStart =
    "The report could not be printed: the printer did not start.";
inline constexpr const char* kReportNotDrawn = "The report could not be drawn: %1 was not written.";

// The project summary.
inline constexpr const char* kSummaryUnread =
    "The summary was written, but %1 could not be read. Its error column tells why.";

// The projects tree with nothing in it, and the sample tests.
inline constexpr const char* kNoTestsYet = "No tests yet in %1";
inline constexpr const char* kSampleTestsOffer =
    "To see three sample tests, choose Open Sample Tests in the Help menu.";
inline constexpr const char* kSamplesNotFound =
    "The sample tests are not installed: %1 was not found.";

// Densora Help.
inline constexpr const char* kHelpNotFound = "Densora Help is not installed: %1 was not found.";
inline constexpr const char* kHelpNotShown =
    "No web browser could be started to show Densora Help. The guide is %1.";

// The settings.
inline constexpr const char* kSettingsNotKept =
    "Default settings in use: %1 is not a regular file.";

// The recovery copy of an unsaved test.
inline constexpr const char* kRecoverCopy =
    "Densora closed without saving the test %1. Recover it?";
inline constexpr const char* kRecoveryOff = "Recovery copies are off: %1 cannot be written.";
inline constexpr const char* kRecoveryNotRegular =
    "Recovery copies are off: %1 is not a regular file.";
// Followed by the reader's own message.
inline constexpr const char* kRecoveryUnreadable = "The recovery copy %1 could not be read: ";
inline constexpr const char* kRecoveryNewer =
    "Recovery copies are off: %1 was written by a newer Densora and is kept for it.";
inline constexpr const char* kRecoveryElsewhere =
    "Recovery copies are off in this window: another Densora window keeps them.";

}  // namespace msg
