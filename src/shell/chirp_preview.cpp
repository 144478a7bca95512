#include "shell/chirp_preview.h"

#include <algorithm>
#include <filesystem>

#include "exchange/records.h"
#include "resources/strings.h"
#include "shell/extras_ids.h"

namespace ql40::shell {

ChirpImportPreview::ChirpImportPreview(const Codeplug& doc, std::string text, std::string path)
    : doc_(doc), text_(std::move(text)), path_(std::move(path)) {
  // The group the user is looking at, from its first channel.
  const int current = doc_.channels.current_group;
  group_ = current >= 0 && current < doc_.channels.group_count ? current : 0;
  Replan();
}

std::vector<std::string> ChirpImportPreview::GroupItems() const {
  std::vector<std::string> items;
  const ChannelTable& t = doc_.channels;
  for (int g = 0; g < t.group_count; ++g) {
    items.push_back(res::FormatString(
        kStrChirpGroupItem,
        {std::to_string(g + 1), exchange::Trim(t.group_tag[static_cast<std::size_t>(g)]),
         std::to_string(t.count[static_cast<std::size_t>(g)])}));
  }
  return items;
}

int ChirpImportPreview::MaxStart() const {
  const ChannelTable& t = doc_.channels;
  return std::max(1, std::min(t.count[static_cast<std::size_t>(group_)] + 1, t.max_per_group));
}

void ChirpImportPreview::SetGroup(int group) {
  if (group < 0 || group >= doc_.channels.group_count || group == group_) return;
  group_ = group;
  start_ = std::min(start_, MaxStart());
  Replan();
}

void ChirpImportPreview::SetStart(int start) {
  start = std::clamp(start, 1, MaxStart());
  if (start == start_) return;
  start_ = start;
  Replan();
}

void ChirpImportPreview::Replan() {
  plan_ = exchange::PlanChirpImport(text_, doc_, group_, start_);
}

std::string ChirpImportPreview::Heading(int column) {
  const std::string all = res::FormatString(kStrChirpHeadings);
  std::size_t at = 0;
  for (int i = 0; i < column && at != std::string::npos; ++i) {
    at = all.find('|', at);
    if (at != std::string::npos) ++at;
  }
  if (column < 0 || at == std::string::npos) return {};
  return all.substr(at, all.find('|', at) - at);
}

std::string ChirpImportPreview::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount()) return {};
  const exchange::ChirpRow& r = plan_.rows[static_cast<std::size_t>(row)];
  switch (column) {
    case kRow:
      return std::to_string(r.row);
    case kLocation:
      return r.location;
    case kName:
      return r.name;
    case kFrequency:
      return r.frequency;
    case kChannel:
      return r.channel < 0 ? res::FormatString(kStrChirpSkipped) : std::to_string(r.channel + 1);
    case kWhat: {
      if (r.channel < 0) return r.skipped;
      std::string what = r.tag + "  " + r.receive + "/" + r.transmit;
      if (!r.sub_audio.empty()) what += "  " + r.sub_audio;
      if (!r.replaces.empty()) what += "; " + res::FormatString(kStrChirpReplaces, {r.replaces});
      for (const std::string& change : r.changes) what += "; " + change;
      return what;
    }
    default:
      return {};
  }
}

ChirpImportPreview::RowKind ChirpImportPreview::Kind(int row) const {
  if (row < 0 || row >= RowCount()) return RowKind::kSkipped;
  const exchange::ChirpRow& r = plan_.rows[static_cast<std::size_t>(row)];
  if (r.channel < 0) return RowKind::kSkipped;
  return r.changes.empty() ? RowKind::kImported : RowKind::kChanged;
}

std::string ChirpImportPreview::Headline() const {
  return std::filesystem::path(path_).filename().string() + ": " + plan_.Summary();
}

ExchangeResult ChirpImportPreview::Apply(Codeplug& doc) const {
  return ApplyChirpImport(doc, plan_, path_);
}

}  // namespace ql40::shell
