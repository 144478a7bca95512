// File commands: new, info, channels; and the terminal prompter the other commands share.

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "channels/grid_text.h"
#include "cli.h"
#include "codeplug/codecs.h"
#include "codeplug/files.h"
#include "resources/labels.h"
#include "resources/strings.h"

namespace ql40::cli {

std::string TerminalText(const Message& message) {
  std::string text = message.Text();
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

namespace {

bool IsQuestion(const Message& m) {
  return m.buttons != MessageButtons::kOk;
}

Answer Positive(MessageButtons buttons) {
  return buttons == MessageButtons::kOkCancel ? Answer::kOk : Answer::kYes;
}

Answer Negative(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kYesNo:
      return Answer::kNo;
    case MessageButtons::kOk:
      return Answer::kOk;
    default:
      return Answer::kCancel;
  }
}

}  // namespace

Answer TerminalPrompter::Ask(const Message& message) {
  const std::string text = TerminalText(message);
  if (!IsQuestion(message)) {
    std::cerr << text << std::endl;
    return Answer::kOk;
  }
  const char* choices = message.buttons == MessageButtons::kOkCancel ? " [o]k/[c]ancel: "
                        : message.buttons == MessageButtons::kYesNo  ? " [y]es/[n]o: "
                                                                     : " [y]es/[n]o/[c]ancel: ";
  if (policy_ == Policy::kYes || policy_ == Policy::kNo) {
    const Answer a =
        policy_ == Policy::kYes ? Positive(message.buttons) : Negative(message.buttons);
    std::cerr << text << choices << (a == Answer::kYes || a == Answer::kOk ? "yes" : "no")
              << std::endl;
    return a;
  }
  if (!isatty(fileno(stdin)) || !isatty(fileno(stderr))) {
    std::cerr << text << choices << "cancelled (no terminal; use --yes or --no)" << std::endl;
    return Negative(message.buttons);
  }
  for (;;) {
    std::cerr << text << choices << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return Negative(message.buttons);
    const char c =
        line.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    if (c == 'y' && message.buttons != MessageButtons::kOkCancel) return Answer::kYes;
    if (c == 'o' && message.buttons == MessageButtons::kOkCancel) return Answer::kOk;
    if (c == 'n' && message.buttons != MessageButtons::kOkCancel) return Answer::kNo;
    if (c == 'c' && message.buttons != MessageButtons::kYesNo) return Answer::kCancel;
  }
}

bool OpenCodeplugFile(const std::string& path, Codeplug& doc, Prompter& prompter) {
  if (!CheckOpenable(path, prompter)) return false;
  LoadCodeplug(doc, path, FileEnvironment{}, prompter);
  return doc.file_loaded;
}

namespace {

int RunNew(const std::string& band_name, const std::string& out, Prompter& prompter) {
  static const std::map<std::string, int> kBands = {
      {"vhf", kBandVhf}, {"vhf-lo", kBandVhfLo}, {"uhf", kBandUhf}};
  const int band = kBands.at(band_name);
  Codeplug doc;
  doc.ResetToDefaults();
  if (band != kBandVhf) {
    doc.ChangeBand(band);
    doc.CommitToImage();
  }
  if (!CheckWritable(out, prompter)) return kExitFailure;
  return WriteImageFile(out, doc, prompter) ? kExitOk : kExitFailure;
}

int RunInfo(const std::string& path, Prompter& prompter) {
  Codeplug doc;
  if (!OpenCodeplugFile(path, doc, prompter)) return kExitFailure;
  const auto& hw = doc.hardware;
  const auto& ch = doc.channels;
  std::cout << "File:            " << BaseName(path) << "\n"
            << "Serial number:   " << doc.identity.serial_number << "\n"
            << "Band:            " << res::LabelOr(res::kBandNames, hw.band) << "\n"
            << "Product type:    " << res::LabelOr(res::kProductTypes, hw.product_type) << "\n"
            << "Firmware:        " << doc.identity.FirmwareText() << "\n"
            << "Option unit:     " << res::LabelOr(res::kOptionUnits, doc.option_unit) << "\n"
            << "Channel spacing: " << res::LabelOr(res::kChannelSpacings, hw.channel_spacing)
            << "\n"
            << Format("Default split:   %.1f MHz\n", doc.default_split) << "Groups:\n";
  for (int g = 0; g < ch.group_count; ++g) {
    std::cout << Format("  %2d  %-8.8s  %3d channels\n", g + 1, ch.group_tag[g].c_str(),
                        ch.count[g]);
  }
  std::cout << Format("Channels:        %d of %d\n", ch.total, ch.capacity)
            << Format("Channels left:   %d\n", ch.channels_left);
  return kExitOk;
}

int RunChannels(const std::string& path, int group, Prompter& prompter) {
  Codeplug doc;
  if (!OpenCodeplugFile(path, doc, prompter)) return kExitFailure;
  const auto& ch = doc.channels;
  std::string out;
  for (int g = 0; g < ch.group_count; ++g) {
    if (group != 0 && g != group - 1) continue;
    const int first = ch.FirstIndexOfGroup(g);
    for (int i = first; i < first + ch.count[g] && i < kChannelCount; ++i) {
      out += GridRowText(doc, i);
      out += '\n';
    }
  }
  std::cout << out;
  return kExitOk;
}

}  // namespace

void RegisterFileCommands(CLI::App& app, int& exit_status) {
  static TerminalPrompter prompter;

  auto* cmd_new = app.add_subcommand("new", "Write the built-in default codeplug to a file");
  static std::string band = "vhf";
  static std::string out;
  cmd_new->add_option("--band", band, "Band of the codeplug")
      ->check(CLI::IsMember({"vhf", "vhf-lo", "uhf"}));
  cmd_new->add_option("-o,--output", out, "File to write (.q40)")->required();
  cmd_new->callback([&exit_status] { exit_status = RunNew(band, out, prompter); });

  auto* cmd_info = app.add_subcommand("info", "Show what radio a codeplug file is for");
  static std::string info_file;
  cmd_info->add_option("FILE", info_file, "Codeplug file (.q40)")->required();
  cmd_info->callback([&exit_status] { exit_status = RunInfo(info_file, prompter); });

  auto* cmd_channels = app.add_subcommand(
      "channels", "List channels as the grid shows them, one per line, tab-separated");
  static std::string channels_file;
  static int group = 0;
  cmd_channels->add_option("FILE", channels_file, "Codeplug file (.q40)")->required();
  cmd_channels->add_option("-g,--group", group, "Only this group (1-20)")->check(CLI::Range(1, 20));
  static bool csv = false;
  auto* csv_flag =
      cmd_channels->add_flag("--csv", csv, "Write every channel in use as CSV with a header line");
  static std::string format = "ql40";
  cmd_channels
      ->add_option("--format", format,
                   "CSV columns: ql40 (the grid's, every channel in use) or chirp (a CHIRP plan "
                   "of the programmed channels)")
      ->check(CLI::IsMember({"chirp", "ql40"}))
      ->needs(csv_flag);
  cmd_channels->callback([&exit_status] {
    exit_status = csv ? RunChannelsCsv(channels_file, format == "chirp", prompter)
                      : RunChannels(channels_file, group, prompter);
  });
}

}  // namespace ql40::cli
