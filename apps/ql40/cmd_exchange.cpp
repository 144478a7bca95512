// ql40 export / import / import-channels / diff / check: the codeplug as text that dealers can
// keep in version control, edit in a spreadsheet and compare.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli.h"
#include "codeplug/files.h"
#include "exchange/channels_csv.h"
#include "exchange/chirp_csv.h"
#include "exchange/codeplug_json.h"
#include "exchange/compare.h"

namespace ql40::cli {
namespace {

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "ql40: cannot open " << path << "\n";
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::cerr << "ql40: cannot read " << path << "\n";
    return false;
  }
  return true;
}

// Text goes to stdout, or to a file that replaces the old one only when all of it is written.
bool WriteText(const std::string& path, const std::string& text) {
  if (path.empty() || path == "-") {
    std::cout << text;
    std::cout.flush();
    return static_cast<bool>(std::cout);
  }
  const std::string temp = path + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      std::cerr << "ql40: cannot write " << path << "\n";
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::cerr << "ql40: cannot write " << path << "\n";
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

int Refused(const std::string& what, const std::vector<std::string>& errors) {
  for (const std::string& e : errors) std::cerr << what << ": " << e << "\n";
  std::cerr << "ql40: " << errors.size() << (errors.size() == 1 ? " value" : " values")
            << " refused; nothing written\n";
  return kExitFailure;
}

// Warnings print and the file is written; with --strict they refuse the import instead.
bool Warned(const std::string& what, const std::vector<std::string>& warnings, bool strict) {
  for (const std::string& w : warnings) {
    std::cerr << what << ": " << (strict ? "" : "warning: ") << w << "\n";
  }
  if (strict && !warnings.empty()) {
    std::cerr << "ql40: " << warnings.size() << (warnings.size() == 1 ? " value" : " values")
              << " would be stored other than the file gives them (--strict); nothing written\n";
    return false;
  }
  return true;
}

int WriteCodeplug(const std::string& out, const Codeplug& doc, Prompter& prompter) {
  if (!CheckWritable(out, prompter)) return kExitFailure;
  return WriteImageFile(out, doc.image, doc.default_split, prompter) ? kExitOk : kExitFailure;
}

int RunExport(const std::string& file, const std::string& out, Prompter& prompter) {
  Codeplug doc;
  if (!OpenCodeplugFile(file, doc, prompter)) return kExitFailure;
  return WriteText(out, exchange::ExportJson(doc)) ? kExitOk : kExitFailure;
}

int RunImport(const std::string& json_path, const std::string& base_path, const std::string& out,
              bool strict, Prompter& prompter) {
  std::string text;
  if (!ReadText(json_path, text)) return kExitFailure;
  Codeplug base;
  if (!base_path.empty()) {
    if (!OpenCodeplugFile(base_path, base, prompter)) return kExitFailure;
  } else {
    const int band = exchange::JsonBand(text);
    base = exchange::DefaultCodeplug(band < 0 ? kBandVhf : band);
  }
  Codeplug doc;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportJson(text, base, doc, errors, warnings)) return Refused(json_path, errors);
  if (!Warned(json_path, warnings, strict)) return kExitFailure;
  return WriteCodeplug(out, doc, prompter);
}

// A CHIRP plan: rows into consecutive channels of a group. Skipped rows and values changed to
// fit are warnings; --strict refuses the file for any of them; nothing is written when no row
// imports.
int ImportChirpPlan(const std::string& csv_path, const std::string& text, const Codeplug& doc,
                    int group, int start, const std::string& out, bool strict, Prompter& prompter) {
  const exchange::ChirpImport plan = exchange::PlanChirpImport(text, doc, group - 1, start);
  const std::vector<std::string> lines = plan.Messages();
  const bool complete = plan.Skipped() == 0 && plan.Changed() == 0;
  for (const std::string& line : lines) {
    const bool error = !plan.errors.empty() || (strict && !complete);
    std::cerr << csv_path << ": " << (error ? "" : "warning: ") << line << "\n";
  }
  if (!plan.errors.empty()) {
    std::cerr << "ql40: " << csv_path << ": nothing written\n";
    return kExitFailure;
  }
  if (!plan.Importable()) {
    std::cerr << "ql40: " << csv_path << ": no row can be imported; nothing written\n";
    return kExitFailure;
  }
  if (strict && !complete) {
    std::cerr << "ql40: " << plan.Skipped() << (plan.Skipped() == 1 ? " row" : " rows")
              << " skipped and " << plan.Changed() << (plan.Changed() == 1 ? " value" : " values")
              << " changed to fit (--strict); nothing written\n";
    return kExitFailure;
  }
  const int status = WriteCodeplug(out, plan.result, prompter);
  if (status == kExitOk) std::cerr << csv_path << ": " << plan.Summary() << "\n";
  return status;
}

int RunImportChannels(const std::string& file, const std::string& csv_path, const std::string& out,
                      const std::string& format, int group, int start, bool placed, bool strict,
                      Prompter& prompter) {
  Codeplug doc;
  if (!OpenCodeplugFile(file, doc, prompter)) return kExitFailure;
  std::string text;
  if (!ReadText(csv_path, text)) return kExitFailure;
  const bool chirp = format.empty() ? exchange::IsChirpCsv(text) : format == "chirp";
  if (chirp) return ImportChirpPlan(csv_path, text, doc, group, start, out, strict, prompter);
  if (placed) {
    std::cerr << "ql40: --group and --start place the rows of a CHIRP plan; the rows of "
              << csv_path << " name their channels in Chn\n";
    return kExitUsage;
  }
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportChannelsCsv(text, doc, errors, warnings)) return Refused(csv_path, errors);
  if (!Warned(csv_path, warnings, strict)) return kExitFailure;
  return WriteCodeplug(out, doc, prompter);
}

int RunDiff(const std::string& a_path, const std::string& b_path, bool bytes, Prompter& prompter) {
  Codeplug a;
  Codeplug b;
  if (!OpenCodeplugFile(a_path, a, prompter) || !OpenCodeplugFile(b_path, b, prompter)) {
    return kExitUsage;  // as diff does: trouble is 2
  }
  const std::vector<std::string> lines = exchange::DiffCodeplugs(a, b, bytes);
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  std::cout << text;
  return lines.empty() ? kExitOk : kExitFailure;
}

int RunCheck(const std::string& file, Prompter& prompter) {
  Codeplug doc;
  if (!OpenCodeplugFile(file, doc, prompter)) return kExitFailure;
  const std::vector<exchange::Finding> findings = exchange::CheckCodeplug(doc);
  for (const exchange::Finding& f : findings) std::cout << exchange::FindingText(f) << "\n";
  if (findings.empty()) std::cout << "no findings\n";
  return exchange::HasErrors(findings) ? kExitFailure : kExitOk;
}

}  // namespace

int RunChannelsCsv(const std::string& file, bool chirp, Prompter& prompter) {
  Codeplug doc;
  if (!OpenCodeplugFile(file, doc, prompter)) return kExitFailure;
  const std::string text = chirp ? exchange::ExportChirpCsv(doc) : exchange::ExportChannelsCsv(doc);
  return WriteText("", text) ? kExitOk : kExitFailure;
}

bool CheckBeforeDownload(const std::string& file) {
  TerminalPrompter prompter(TerminalPrompter::Policy::kNo);
  Codeplug doc;
  if (!OpenCodeplugFile(file, doc, prompter)) return true;  // the download reports it
  const std::vector<exchange::Finding> findings = exchange::CheckCodeplug(doc);
  if (!exchange::HasErrors(findings)) return true;
  for (const exchange::Finding& f : findings) std::cerr << exchange::FindingText(f) << "\n";
  std::cerr << "ql40: " << file << " has errors; not programmed (--force programs it anyway)\n";
  return false;
}

void RegisterExchangeCommands(CLI::App& app, int& exit_status) {
  static TerminalPrompter prompter;

  auto* cmd_export = app.add_subcommand("export", "Write a codeplug as JSON");
  static std::string export_file;
  static std::string export_out;
  cmd_export->add_option("FILE", export_file, "Codeplug file (.q40)")->required();
  cmd_export->add_option("-o,--output", export_out, "JSON file to write (default: stdout)");
  cmd_export->callback(
      [&exit_status] { exit_status = RunExport(export_file, export_out, prompter); });

  auto* cmd_import = app.add_subcommand("import", "Build a codeplug file from JSON");
  static std::string import_file;
  static std::string import_base;
  static std::string import_out;
  cmd_import->add_option("FILE", import_file, "JSON file")->required();
  cmd_import->add_option("--base", import_base,
                         "Codeplug whose values fill in what the JSON leaves out "
                         "(default: the built-in defaults of its band)");
  cmd_import->add_option("-o,--output", import_out, "Codeplug file to write (.q40)")->required();
  static bool import_strict = false;
  cmd_import->add_flag("--strict", import_strict,
                       "Refuse the file if any value would be stored other than it gives it");
  cmd_import->callback([&exit_status] {
    exit_status = RunImport(import_file, import_base, import_out, import_strict, prompter);
  });

  auto* cmd_import_channels = app.add_subcommand(
      "import-channels",
      "Apply channel rows from a CSV file to a codeplug: this program's own CSV, or a CHIRP plan "
      "written into consecutive channels of a group");
  static std::string ic_file;
  static std::string ic_csv;
  static std::string ic_out;
  static std::string ic_format;
  static int ic_group = 1;
  static int ic_start = 1;
  cmd_import_channels->add_option("FILE", ic_file, "Codeplug file (.q40)")->required();
  cmd_import_channels->add_option("CSV", ic_csv, "CSV file with a header line")->required();
  cmd_import_channels->add_option("-o,--output", ic_out, "Codeplug file to write (.q40)")
      ->required();
  cmd_import_channels
      ->add_option("--format", ic_format,
                   "The file's format (default: recognised by its header line)")
      ->check(CLI::IsMember({"chirp", "ql40"}));
  auto* group_option =
      cmd_import_channels
          ->add_option("-g,--group", ic_group, "CHIRP plan: the group its rows go to (default 1)")
          ->check(CLI::Range(1, 20));
  auto* start_option =
      cmd_import_channels
          ->add_option("--start", ic_start,
                       "CHIRP plan: the group's channel the first row goes to (default 1)")
          ->check(CLI::Range(1, 255));
  static bool ic_strict = false;
  cmd_import_channels->add_flag("--strict", ic_strict,
                                "Refuse the file if any row would be skipped or any value stored "
                                "other than it gives it");
  cmd_import_channels->callback([&exit_status, group_option, start_option] {
    const bool placed = group_option->count() > 0 || start_option->count() > 0;
    exit_status = RunImportChannels(ic_file, ic_csv, ic_out, ic_format, ic_group, ic_start, placed,
                                    ic_strict, prompter);
  });

  auto* cmd_diff = app.add_subcommand(
      "diff", "Show what differs between two codeplugs (exit 0 same, 1 different, 2 trouble)");
  static std::string diff_a;
  static std::string diff_b;
  static bool diff_bytes = false;
  cmd_diff->add_option("A", diff_a, "First codeplug file")->required();
  cmd_diff->add_option("B", diff_b, "Second codeplug file")->required();
  cmd_diff->add_flag("--bytes", diff_bytes, "Also list the image regions whose bytes differ");
  cmd_diff->callback(
      [&exit_status] { exit_status = RunDiff(diff_a, diff_b, diff_bytes, prompter); });

  auto* cmd_check =
      app.add_subcommand("check", "List what would make the radio misbehave (exit 1 on errors)");
  static std::string check_file;
  cmd_check->add_option("FILE", check_file, "Codeplug file (.q40)")->required();
  cmd_check->callback([&exit_status] { exit_status = RunCheck(check_file, prompter); });
}

}  // namespace ql40::cli
