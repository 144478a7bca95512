#include "settings/allocation_form.h"

#include <algorithm>
#include <memory>

#include "codeplug/codecs.h"
#include "link/clone_session.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"
#include "settings/settings_text_ids.h"

namespace ql40 {
namespace {

constexpr int kQtsBit = 1;
constexpr int kScanBit = 2;
constexpr int kMaxTagLength = 8;
constexpr int kMaxUpdateFailures = 5;
constexpr int kFirstChannelRadioBlock = 6;  // image block 8
constexpr int kChannelsPerBlock = 4;

int GroupOf(int id, int first) {
  const int g = id - first;
  return g >= 0 && g < kGroupCount ? g : -1;
}

}  // namespace

ChannelAllocationForm::ChannelAllocationForm(Codeplug& doc, Prompter& prompter,
                                             ChannelUpdater updater)
    : FormModel({.dialog_id = kDialogId,
                 .title_id = res::kStrTitleChannelAllocation,
                 .ok_needs_focus = true},
                &doc.modified),
      doc_(doc),
      prompter_(prompter),
      updater_(std::move(updater)) {
  ChannelTable& t = doc_.channels;
  opened_counts_ = t.count;
  opened_total_ = 0;
  for (int c : t.count) opened_total_ += c;
  opened_group_ = t.current_group;
  t.total = opened_total_;
  t.channels_left = t.capacity - t.total;
  for (int g = 0; g < kGroupCount; ++g) {
    const int half = g / 10;
    const int row = g % 10;
    const int base = half * 4;
    AddEdit(kFirstCount + g, res::kStrLabelGroup1 + g, row, 3, 2, false, FormEditCommit::kOnEnter,
            base + 1);
    AddEdit(kFirstTag + g, 0, row, kMaxTagLength, 4, true, FormEditCommit::kOnEnter, base + 2);
    AddList(kFirstScan + g, 0, row, base + 3);
    if (g < t.group_count) FillScan(g);
  }
  for (int half = 0; half < 2; ++half) {
    AddHeading(res::kStrHeadingChannels, half * 4 + 1);
    AddHeading(res::kStrHeadingTag, half * 4 + 2);
    AddHeading(res::kStrHeadingScan, half * 4 + 3);
  }
}

bool ChannelAllocationForm::GroupInScan(int group) const {
  const ChannelTable& t = doc_.channels;
  const int first = t.FirstIndexOfGroup(group);
  const int end = std::min(first + t.count[static_cast<std::size_t>(group)], kChannelCount);
  for (int i = first; i < end; ++i) {
    if (t.records[static_cast<std::size_t>(i)].scan_nibble() != 0) return true;
  }
  return false;
}

std::vector<int> ChannelAllocationForm::OfferedScanModes(int group) const {
  std::vector<int> modes = {0};
  if (doc_.option_unit == kOptionPtTrunk) modes.push_back(kQtsBit);
  if (GroupInScan(group)) modes.push_back(kScanBit);
  return modes;  // "SCAN QTS" is never offered
}

void ChannelAllocationForm::FillScan(int group) {
  ChannelTable& t = doc_.channels;
  int& mode = t.scan_mode[static_cast<std::size_t>(group)];
  if (t.count[static_cast<std::size_t>(group)] == 0) mode = 0;
  if ((mode & kQtsBit) != 0 && doc_.option_unit != kOptionPtTrunk) mode &= kScanBit;
  if (!GroupInScan(group)) mode &= kQtsBit;
}

std::vector<std::string> ChannelAllocationForm::Items(int id) const {
  const int g = GroupOf(id, kFirstScan);
  if (g < 0) return {};
  std::vector<std::string> items;
  for (int mode : OfferedScanModes(g)) items.push_back(res::LabelOr(res::kGroupScanModes, mode));
  return items;
}

int ChannelAllocationForm::Selection(int id) const {
  const int g = GroupOf(id, kFirstScan);
  if (g < 0) return -1;
  const std::vector<int> modes = OfferedScanModes(g);
  const auto it =
      std::find(modes.begin(), modes.end(), doc_.channels.scan_mode[static_cast<std::size_t>(g)]);
  return it == modes.end() ? 0 : static_cast<int>(it - modes.begin());
}

std::string ChannelAllocationForm::Text(int id) const {
  const ChannelTable& t = doc_.channels;
  if (const int g = GroupOf(id, kFirstCount); g >= 0) {
    return Format("%3.3d", t.count[static_cast<std::size_t>(g)]);
  }
  if (const int g = GroupOf(id, kFirstTag); g >= 0) return t.group_tag[static_cast<std::size_t>(g)];
  return {};
}

bool ChannelAllocationForm::Enabled(int id) const {
  const ChannelTable& t = doc_.channels;
  int g = GroupOf(id, kFirstCount);
  if (g < 0) g = GroupOf(id, kFirstTag);
  if (g >= 0) return g < t.group_count;
  g = GroupOf(id, kFirstScan);
  if (g < 0 || g >= t.group_count) return false;
  return (GroupInScan(g) || doc_.option_unit == kOptionPtTrunk) &&
         t.count[static_cast<std::size_t>(g)] != 0;
}

void ChannelAllocationForm::Select(int id, int index) {
  const int g = GroupOf(id, kFirstScan);
  if (g < 0 || !Enabled(id)) return;
  const std::vector<int> modes = OfferedScanModes(g);
  if (index < 0 || index >= static_cast<int>(modes.size())) return;
  doc_.channels.scan_mode[static_cast<std::size_t>(g)] = modes[static_cast<std::size_t>(index)];
  doc_.channels.current_group = g;
  MarkChanged();
}

FormCommit ChannelAllocationForm::Commit(int id, std::string_view text) {
  if (!Enabled(id)) return {Text(id), true};
  if (const int g = GroupOf(id, kFirstCount); g >= 0) return CommitCount(g, text);
  if (const int g = GroupOf(id, kFirstTag); g >= 0) {
    std::string tag(text.substr(0, std::min<std::size_t>(text.size(), kMaxTagLength)));
    for (char& c : tag) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    doc_.channels.group_tag[static_cast<std::size_t>(g)] = tag;
    MarkChanged();
    return {tag, true};
  }
  return {std::string(text), true};
}

FormCommit ChannelAllocationForm::CommitCount(int g, std::string_view text) {
  ChannelTable& t = doc_.channels;
  const auto gi = static_cast<std::size_t>(g);
  const long long typed = ParseInteger(text);
  int left = t.channels_left + t.count[gi];  // the group's own channels are free again
  const int n = static_cast<int>(std::clamp<long long>(typed, 0, t.max_per_group));
  const bool fits = left - n >= 0;
  if (fits) {
    t.count[gi] = n;
    left -= n;
    if (left == t.capacity) {  // nothing allocated anywhere: the group keeps one channel
      t.count[gi] = 1;
      left -= 1;
    }
    if (t.count[gi] == 0) t.priority[gi] = 0;
    t.channels_left = left;
    t.total = t.capacity - left;
    t.current_group = g;
    FillScan(g);
    MarkChanged();
    return {Text(kFirstCount + g), true};
  }
  prompter_.Show(res::kStrTooManyChannels, MessageIcon::kStop);
  return {std::string(text), false};
}

bool ChannelAllocationForm::Ok() {
  ChannelTable& t = doc_.channels;
  int total = 0;
  int shift = 0;  // how far the current group's start has moved
  for (int g = 0; g < kGroupCount; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    // A priority is an entry within its group: when the group's start moves, the entry
    // moves the other way so that it names the same channel; a channel that has left its
    // group is no priority any more, and a group without one does not gain one.
    const int p = t.priority[gi];
    const int moved = p - shift;
    t.priority[gi] = (p != 0 && moved >= 1 && moved <= t.count[gi]) ? moved : 0;
    shift += t.count[gi] - opened_counts_[gi];
    total += t.count[gi];
  }
  t.total = total;
  t.channels_left = t.capacity - total;
  if (total > opened_total_ && updater_) updater_(opened_total_, total);
  doc_.CommitToImage();
  outcome_.accepted = true;
  return true;
}

void ChannelAllocationForm::Cancel() {
  doc_.channels.current_group = opened_group_;
  const int group = opened_group_;
  doc_.RefreshFromImage();
  doc_.channels.SelectGroup(group);
  outcome_ = FormOutcome{};
}

ChannelUpdateReport UpdateChannelsFromRadio(Codeplug& doc, const link::PortOpener& open_port,
                                            int old_total, int new_total,
                                            const std::function<void()>& reading) {
  ChannelUpdateReport report;
  new_total = std::min(new_total, kChannelCount);
  if (new_total <= old_total || !open_port) return report;
  link::PortOpenError error;
  std::unique_ptr<link::SerialPort> port = open_port(link::kCloneReadConstantMs, &error);
  if (!port || error.kind != link::PortOpenError::Kind::kNone) return report;
  report.port_opened = true;
  link::CloneSession session(doc, port, link::CloneEnvironment{});
  int w12 = 0;
  if (session.ReadWord(12, &w12) != link::kFrameOk) return report;
  report.radio_answered = true;
  if (((w12 >> 14) & 3) != doc.hardware.band) return report;
  report.same_band = true;
  if (reading) reading();

  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  std::uint8_t block[kBlockSize] = {};
  for (int i = std::max(old_total, 0); i < new_total;) {
    if (i == old_total || i % kChannelsPerBlock == 0) {
      const int radio_block = i / kChannelsPerBlock + kFirstChannelRadioBlock;
      if (session.ReadBlock(radio_block, block) != link::kFrameOk) {
        if (port) port->PurgeReceive();
        if (++report.failures > kMaxUpdateFailures) break;
        continue;  // the same channel's block again
      }
    }
    const std::span<const std::uint8_t> stored(block + kChannelRecordSize * (i % kChannelsPerBlock),
                                               kChannelRecordSize);
    doc.channels.DecodeChannel(doc.channels.records[static_cast<std::size_t>(i)], stored, ctx);
    ++report.channels_read;
    ++i;
  }
  return report;
}

}  // namespace ql40
