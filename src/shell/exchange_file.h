#pragma once
// The codeplug as text files in the desktop program: File > Export / Import (JSON), Export /
// Import Channels (CSV) and Compare With File. The same core functions and messages as the
// command line; an import changes the document only when every value is good, and then as one
// undo step.

#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "exchange/chirp_csv.h"

namespace ql40::shell {

struct ExchangeResult {
  bool ok = false;
  std::string message;             // status text on success, the headline of a failure
  std::vector<std::string> lines;  // every refused value, the differences found, or what an
                                   // import stored other than the file gives it
};

// Reads a whole file; false with the message that says why.
bool ReadTextFile(const std::string& path, std::string& text, std::string& why);
// Writes a whole file through a temporary one beside it, so an old file is replaced only by a
// complete new one. False with the message that says why.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& why);

ExchangeResult ExportJsonFile(Codeplug& doc, const std::string& path);
// The channels in this program's own columns, or the programmed channels as a CHIRP plan.
enum class ChannelFormat { kQl40, kChirp };
ExchangeResult ExportChannelsFile(Codeplug& doc, const std::string& path,
                                  ChannelFormat format = ChannelFormat::kQl40);

// Builds the document anew from the JSON file; keys the file leaves out keep the document's
// values. On any refused value the document (image, records, flags, undo steps) is as it was.
// On success lines holds the import's warnings (the message then heads them).
ExchangeResult ImportJsonFile(Codeplug& doc, const std::string& path);
// Applies the CSV rows to the document's channels as pastes into the grid's cells.
ExchangeResult ImportChannelsFile(Codeplug& doc, const std::string& path);

// A CHIRP plan worked out on the document as it stands (exchange::PlanChirpImport) goes in as
// one undo step; lines then name every skipped row and every value changed to fit.
ExchangeResult ApplyChirpImport(Codeplug& doc, const exchange::ChirpImport& plan,
                                const std::string& path);

// The decoded differences from the document to the codeplug file, one line each; the raw
// regions too when only bytes no record shows differ. The file's own messages (cannot open,
// damaged) go to the prompter.
ExchangeResult CompareWithFile(Codeplug& doc, const std::string& path, Prompter& prompter);

// Before radios are programmed: the codeplug's check. With errors the user is shown them and
// asked whether to program anyway; true when there are none or the answer is Yes.
bool ConfirmProgramming(const Codeplug& doc, Prompter& prompter);

}  // namespace ql40::shell
