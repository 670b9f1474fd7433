// Feeds arbitrary bytes to densora-cli write's JSON reading, and stores whatever record it
// accepted as write stores it, in both units: the file must read back, and the record read
// back must store to the very same bytes. Any other outcome than that or a clean refusal
// aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "file/lng_format.h"
#include "framework/archive.h"
#include "framework/document.h"
#include "framework/prompt.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"

namespace {

class SilentPrompt : public framework::Prompt {
 public:
  framework::MsgAnswer Show(const std::string&, framework::MsgButtons,
                            framework::MsgIcon) override {
    return framework::MsgAnswer::Ok;
  }
};

// The file image the store step writes: the record refitted, its maximum in pcf.
std::vector<unsigned char> StoredBytes(CDensoraDoc& doc) {
  CDensityCurve curve(doc);
  curve.FitRecord();
  CompactionRecord stored(doc.m_record);
  stored.m_dMaxDryDensity /= doc.DensityFactor();
  return LngBytes(stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentPrompt prompt;
  framework::SetPrompt(&prompt);
  const std::string text(reinterpret_cast<const char*>(data), size);

  for (int units : {kEnglish, kMetric}) {
    CDensoraDoc doc;
    doc.m_nUnits = units;
    std::string error;
    if (!cli::RecordFromJsonText(text, doc, error)) {
      if (error.empty()) std::abort();  // a refusal always says why
      return 0;
    }
    const std::vector<unsigned char> first = StoredBytes(doc);
    if (first.size() > framework::CDocument::kMaxFileBytes) std::abort();  // never opened again

    CDensoraDoc back;
    back.m_nUnits = units;
    try {
      framework::CArchive ar(first.data(), first.size());
      back.Serialize(ar);
    } catch (const framework::CArchiveException&) {
      std::abort();  // write wrote what the reader refuses
    } catch (const framework::CUserException&) {
      std::abort();
    }
    if (StoredBytes(back) != first) std::abort();  // what was read stores differently
  }
  return 0;
}
