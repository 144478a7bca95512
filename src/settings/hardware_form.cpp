#include "settings/hardware_form.h"

#include <algorithm>

#include "channels/frequency_fit.h"
#include "codeplug/codecs.h"
#include "resources/labels.h"
#include "resources/strings.h"
#include "settings/settings_text_ids.h"

namespace ql40 {
namespace {

constexpr int kFirstSqDelay = 5, kLastSqDelay = 31;
constexpr int kNoiseAttackEntries = 15;  // 10, 15 .. 80 msec
constexpr int kHysteresisEntries = 16;
// Typed MHz values stop at 99.99 MHz.
constexpr std::int32_t kMaxMhzCount = 9999000;

std::string MhzText(double mhz) {
  return Format("%5.2fMHz", mhz);
}

}  // namespace

HardwareForm::HardwareForm(Codeplug& doc, Prompter& prompter, bool maintenance)
    : FormModel(
          {.dialog_id = kDialogId, .title_id = res::kStrTitleHardware, .ok_needs_focus = true},
          &doc.modified),
      doc_(doc),
      prompter_(prompter),
      maintenance_(maintenance),
      pending_split_(doc.default_split) {
  keys_.Decode(doc_.image);
  int row = 0;
  AddList(kBand, res::kStrLabelFreqBand, row++);
  AddList(kProduct, res::kStrLabelProductType, row++);
  AddEdit(kRefXtal, res::kStrLabelRefXtal, row++, 5, 1);
  AddEdit(kFirstIf, res::kStrLabelFirstIf, row++, 5, 1);
  AddList(kLocalOffset, res::kStrLabelLocalOffset, row++);
  AddList(kChanStep, res::kStrLabelChanStep, row++);
  AddList(kSqDelay, res::kStrLabelSqDelay, row++);
  row = 0;
  AddEdit(kSqRelease, res::kStrLabelSqRelease, row++, 3, 2, false, FormEditCommit::kOnEnter, 3);
  AddList(kNoiseAttack, res::kStrLabelNoiseAttack, row++, 3);
  AddList(kNoiseHysteresis, res::kStrLabelNoiseHysteresis, row++, 3);
  AddList(kDcsRx, res::kStrLabelDcsRx, row++, 3);
  AddList(kDcsTx, res::kStrLabelDcsTx, row++, 3);
  AddEdit(kScanPllB, res::kStrLabelScanPllB, row++, 3, 2, false, FormEditCommit::kOnEnter, 3);
}

bool HardwareForm::ShortBandList() const {
  return !maintenance_ && doc_.hardware.band != kBandVhfLo;
}

std::vector<std::string> HardwareForm::Items(int id) const {
  const HardwareSettings& hw = doc_.hardware;
  std::vector<std::string> items;
  switch (id) {
    case kBand:
      if (ShortBandList()) {
        return {std::string(res::kBandNames[kBandVhf]), std::string(res::kBandNames[kBandUhf])};
      }
      return FormLabels(res::kBandNames);
    case kProduct:
      return FormLabels(res::kProductTypes);
    case kLocalOffset:
      return FormLabels(res::kLocalOffsets);
    case kChanStep:
      // UHF radios have one step family only.
      if (hw.band == kBandUhf) return {std::string(res::kChannelSpacings[0])};
      return FormLabels(res::kChannelSpacings);
    case kSqDelay:
      for (int d = kFirstSqDelay; d <= kLastSqDelay; ++d) items.push_back(Format("%-2d msec", d));
      return items;
    case kNoiseAttack:
      for (int a = 1; a <= kNoiseAttackEntries; ++a) {
        items.push_back(Format("%-2d msec", 5 + 5 * a));
      }
      return items;
    case kNoiseHysteresis:
      for (int h = 0; h < kHysteresisEntries; ++h) items.push_back(Format("%-2d", h));
      return items;
    case kDcsRx:
    case kDcsTx:
      return FormLabels(res::kNormalInverted);
    default:
      return items;
  }
}

int HardwareForm::Selection(int id) const {
  const HardwareSettings& hw = doc_.hardware;
  auto within = [&](int index) {
    const int n = static_cast<int>(Items(id).size());
    return index >= 0 && index < n ? index : -1;  // a stored value no entry shows
  };
  switch (id) {
    case kBand:
      if (ShortBandList()) return hw.band == kBandVhf ? 0 : hw.band == kBandUhf ? 1 : -1;
      return within(hw.band);
    case kProduct:
      return within(hw.product_type);
    case kLocalOffset:
      return within(hw.injection);
    case kChanStep:
      return within(hw.channel_spacing);
    case kSqDelay:
      return within(hw.sq_delay - kFirstSqDelay);
    case kNoiseAttack:
      return within(hw.noise_sq_attack - 1);
    case kNoiseHysteresis:
      return within(hw.noise_sq_hysteresis);
    case kDcsRx:
      return within(hw.dcs_rx_polarity);
    case kDcsTx:
      return within(hw.dcs_tx_polarity);
    default:
      return -1;
  }
}

std::string HardwareForm::Text(int id) const {
  const HardwareSettings& hw = doc_.hardware;
  switch (id) {
    case kRefXtal:
      return MhzText(hw.ref_xtal);
    case kFirstIf:
      return MhzText(hw.first_if);
    case kSqRelease:
      return Format("%-3d msec", (hw.sq_release + 1) * 5);
    case kScanPllB:
      return Format("%-3d", hw.scan_pll_b);
    default:
      return {};
  }
}

bool HardwareForm::Enabled(int id) const {
  // A dealer sees the radio's constants but changes only band and model.
  return maintenance_ || id == kBand || id == kProduct;
}

void HardwareForm::Select(int id, int index) {
  HardwareSettings& hw = doc_.hardware;
  if (index < 0 || index >= static_cast<int>(Items(id).size())) return;
  if (index == Selection(id)) return;  // no change, nothing to confirm
  switch (id) {
    case kBand:
      SelectBand(index);
      return;
    case kProduct:
      SelectProduct(index);
      return;
    case kLocalOffset:
      hw.injection = index;
      outcome_.hardware_changed = true;
      break;
    case kChanStep:
      hw.channel_spacing = index;
      outcome_.hardware_changed = true;
      break;
    case kSqDelay:
      hw.sq_delay = index + kFirstSqDelay;
      break;
    case kNoiseAttack:
      hw.noise_sq_attack = index + 1;
      break;
    case kNoiseHysteresis:
      hw.noise_sq_hysteresis = index;
      break;
    case kDcsRx:
      hw.dcs_rx_polarity = index;
      break;
    case kDcsTx:
      hw.dcs_tx_polarity = index;
      break;
    default:
      return;
  }
  MarkChanged();
}

void HardwareForm::SelectBand(int index) {
  const int band = ShortBandList() ? (index > 0 ? kBandUhf : kBandVhf) : index;
  if (prompter_.Ask(res::kStrChangeBand, MessageIcon::kExclamation, MessageButtons::kYesNo) !=
      Answer::kYes) {
    return;  // the list shows the current band again
  }
  // The split goes into the trailer only on OK.
  pending_split_ = doc_.hardware.SetBandDefaults(band);
  doc_.channels.ApplyBandChange(band);
  outcome_.band_changed = true;
  MarkChanged();
}

void HardwareForm::SelectProduct(int index) {
  if (index == kPt410 && prompter_.Ask(res::kStrChangeProductType, MessageIcon::kExclamation,
                                       MessageButtons::kYesNo) != Answer::kYes) {
    return;
  }
  doc_.hardware.product_type = index;
  doc_.channels.RefitToProduct(index);
  if (index == kPt410) keys_.PruneForPt410();
  outcome_.product_changed = true;
  MarkChanged();
}

FormCommit HardwareForm::Commit(int id, std::string_view text) {
  HardwareSettings& hw = doc_.hardware;
  switch (id) {
    case kRefXtal:
    case kFirstIf: {
      const std::int32_t count = std::clamp(MhzTextTo10Hz(text), std::int32_t{0}, kMaxMhzCount);
      double& field = id == kRefXtal ? hw.ref_xtal : hw.first_if;
      field = count * 0.00001;
      // The field shows what the radio's words hold (Ref XTAL in 40 kHz steps), so that a
      // reopen shows the same.
      const double stored = id == kRefXtal ? hw.AsStored().ref_xtal : hw.AsStored().first_if;
      field = MhzTo10Hz(stored) * 0.00001;
      outcome_.hardware_changed = true;
      break;
    }
    case kSqRelease: {
      const long long v = std::clamp(ParseInteger(text), 5LL, 320LL);
      hw.sq_release = static_cast<int>(v / 5 - 1);
      break;
    }
    case kScanPllB:
      hw.scan_pll_b = static_cast<int>(std::clamp(ParseInteger(text), 0LL, 255LL));
      break;
    default:
      return {std::string(text), true};
  }
  MarkChanged();
  return {Text(id), true};
}

bool HardwareForm::Ok() {
  keys_.Encode(doc_.image, doc_.option_unit);
  doc_.default_split = pending_split_;
  if (outcome_.hardware_changed && !outcome_.band_changed) {
    // New constants (oscillator side, IF, step family) can leave channel frequencies that no
    // divider word holds: they move to the nearest storable ones, and the user is told which.
    const auto moves = ApplyHardwareChange(doc_, doc_.hardware);
    if (!moves.empty()) {
      std::string lines;
      for (const auto& line : FrequencyMoveLines(moves)) lines += line + "\r\n";
      prompter_.Show(res::kStrFrequenciesMoved, MessageIcon::kInformation, {lines});
    }
  }
  doc_.CommitToImage();
  outcome_.accepted = true;
  return true;
}

void HardwareForm::Cancel() {
  // The hardware record and the channels were edited in place; the image still holds them
  // as they were when the dialog opened.
  doc_.RefreshFromImage();
  keys_.Decode(doc_.image);
  pending_split_ = doc_.default_split;
  outcome_ = FormOutcome{};
}

}  // namespace ql40
