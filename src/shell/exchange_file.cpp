#include "shell/exchange_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "codeplug/files.h"
#include "exchange/channels_csv.h"
#include "exchange/codeplug_json.h"
#include "exchange/compare.h"
#include "resources/strings.h"
#include "shell/extras_ids.h"

namespace ql40::shell {
namespace {

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

ExchangeResult Failure(std::string message, std::vector<std::string> lines = {}) {
  ExchangeResult result;
  result.message = std::move(message);
  result.lines = std::move(lines);
  return result;
}

ExchangeResult Success(int string_id, const std::string& path) {
  ExchangeResult result;
  result.ok = true;
  result.message = res::FormatString(string_id, {path});
  return result;
}

ExchangeResult Refused(const std::string& path, std::vector<std::string> errors) {
  const std::string name = FileName(path);
  std::string headline =
      errors.size() == 1
          ? res::FormatString(kStrRefusedOne, {name})
          : res::FormatString(kStrRefusedMany, {name, std::to_string(errors.size())});
  return Failure(std::move(headline), std::move(errors));
}

ExchangeResult Imported(const std::string& path, std::vector<std::string> warnings) {
  if (warnings.empty()) return Success(kStrImported, path);
  ExchangeResult result;
  result.ok = true;
  result.message =
      res::FormatString(kStrImportedWithWarnings, {path, std::to_string(warnings.size())});
  result.lines = std::move(warnings);
  return result;
}

ExchangeResult Export(const std::string& path, const std::string& text) {
  std::string why;
  if (!WriteTextFile(path, text, why)) return Failure(why);
  return Success(kStrExported, path);
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& why) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    why = res::FormatString(kStrCannotOpen, {path});
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = res::FormatString(kStrCannotOpen, {path});
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    why = res::FormatString(kStrCannotRead, {path});
    return false;
  }
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string& why) {
  const std::string temp = path + ".part";
  bool written = false;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (out) {
      out << text;
      out.flush();
      written = static_cast<bool>(out);
    }
  }
  if (written && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  why = res::FormatString(kStrCannotWrite, {path});
  return false;
}

ExchangeResult ExportJsonFile(Codeplug& doc, const std::string& path) {
  // The grid's pending edits belong to what the user sees, so they go into the file too.
  doc.CommitToImage();
  return Export(path, exchange::ExportJson(doc));
}

ExchangeResult ExportChannelsFile(Codeplug& doc, const std::string& path, ChannelFormat format) {
  doc.CommitToImage();
  return Export(path, format == ChannelFormat::kChirp ? exchange::ExportChirpCsv(doc)
                                                      : exchange::ExportChannelsCsv(doc));
}

ExchangeResult ImportJsonFile(Codeplug& doc, const std::string& path) {
  std::string text;
  std::string why;
  if (!ReadTextFile(path, text, why)) return Failure(why);
  // The checkpoint commits the grid's edits, so the base of the import is what the user sees.
  doc.history.Checkpoint(doc);
  Codeplug built;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportJson(text, doc, built, errors, warnings)) {
    doc.history.DropIfUnchanged(doc);
    return Refused(path, std::move(errors));
  }
  doc.image = built.image;
  doc.default_split = built.default_split;
  doc.RefreshFromImage();
  doc.modified = true;
  return Imported(path, std::move(warnings));
}

ExchangeResult ImportChannelsFile(Codeplug& doc, const std::string& path) {
  std::string text;
  std::string why;
  if (!ReadTextFile(path, text, why)) return Failure(why);
  doc.history.Checkpoint(doc);
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportChannelsCsv(text, doc, errors, warnings)) {
    doc.history.DropIfUnchanged(doc);
    return Refused(path, std::move(errors));
  }
  return Imported(path, std::move(warnings));
}

ExchangeResult ApplyChirpImport(Codeplug& doc, const exchange::ChirpImport& plan,
                                const std::string& path) {
  if (!plan.Importable()) return Failure(plan.Summary(), plan.Messages());
  doc.history.Checkpoint(doc);
  doc.image = plan.result.image;
  doc.RefreshFromImage();
  doc.channels.SelectGroup(plan.group);
  doc.modified = true;
  ExchangeResult result = Imported(path, plan.Messages());
  if (result.lines.empty()) result.message += ": " + plan.Summary();
  return result;
}

ExchangeResult CompareWithFile(Codeplug& doc, const std::string& path, Prompter& prompter) {
  if (!CheckOpenable(path, prompter)) return Failure({});
  Codeplug other;
  LoadCodeplug(other, path, FileEnvironment{}, prompter);
  // A file that could not be read whole is not compared: its differences would be made up.
  if (!other.file_loaded) return Failure({});
  // Both sides decoded from their images the same way, as the file of this codeplug would be
  // read back: a document made from the defaults shows an identity its image does not hold.
  doc.CommitToImage();
  Codeplug mine;
  mine.image = doc.image;
  mine.default_split = doc.default_split;
  mine.file_loaded = true;
  mine.radio_origin = doc.radio_origin;
  mine.RefreshFromImage();
  ExchangeResult result;
  result.ok = true;
  result.lines = exchange::DiffCodeplugs(mine, other, false);
  result.message = result.lines.empty() ? res::FormatString(kStrSameAsFile, {FileName(path)})
                                        : res::FormatString(kStrCompareHeading, {FileName(path)});
  return result;
}

bool ConfirmProgramming(const Codeplug& doc, Prompter& prompter) {
  const std::vector<exchange::Finding> findings = exchange::CheckCodeplug(doc);
  if (!exchange::HasErrors(findings)) return true;
  std::string lines;
  for (const exchange::Finding& f : findings) {
    if (f.severity == exchange::Severity::kError) lines += exchange::FindingText(f) + "\r\n";
  }
  return prompter.Ask(kStrProgramDespiteErrors, MessageIcon::kExclamation, MessageButtons::kYesNo,
                      {lines}) == Answer::kYes;
}

}  // namespace ql40::shell
