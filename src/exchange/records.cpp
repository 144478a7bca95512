#include "exchange/records.h"

#include <cctype>
#include <tuple>
#include <utility>

#include "codeplug/codecs.h"
#include "resources/channel_labels.h"
#include "resources/labels.h"
#include "resources/settings_labels.h"

namespace ql40::exchange {
namespace {

std::vector<std::string> ToStrings(res::LabelList list) {
  return {list.begin(), list.end()};
}

#define QL40_LIST(list) [](const Records&) { return ToStrings(list); }
#define QL40_FN(fn) [](const Records&) { return fn(); }
#define QL40_REF(member) [](Records& r) -> int& { return r.member; }

std::vector<std::string> DualWatchLabels() {
  std::vector<std::string> out;
  for (std::string_view v : res::kDualWatchTimes) out.push_back(std::string(v) + " msecs");
  return out;
}

std::vector<std::string> Seconds(res::LabelList list) {
  std::vector<std::string> out;
  for (std::string_view v : list) out.push_back(Trim(v) + " Secs");
  return out;
}

std::vector<std::string> EmergencyChannelLabels(const Records& r) {
  (void)r;
  return ToStrings(res::kEmergencyChannels);
}

std::vector<Section> BuildSections() {
  std::vector<Section> s;
  s.push_back({"hardware",
               "Hardware",
               {
                   {"band", "Band", QL40_REF(hardware.band), QL40_LIST(res::kBandNames)},
                   {"product_type", "Product Type", QL40_REF(hardware.product_type),
                    QL40_LIST(res::kProductTypes)},
                   {"channel_spacing", "Channel Spacing", QL40_REF(hardware.channel_spacing),
                    QL40_LIST(res::kChannelSpacings)},
                   {"sq_delay", "SQ Delay", QL40_REF(hardware.sq_delay), nullptr, 5, 31},
                   {"local_oscillator", "Local Oscillator", QL40_REF(hardware.injection),
                    QL40_LIST(res::kLocalOffsets)},
                   {"dcs_rx_polarity", "DCS RX Polarity", QL40_REF(hardware.dcs_rx_polarity),
                    nullptr, 0, 1},
                   {"dcs_tx_polarity", "DCS TX Polarity", QL40_REF(hardware.dcs_tx_polarity),
                    nullptr, 0, 1},
                   {"sq_release", "SQ Release", QL40_REF(hardware.sq_release), nullptr, 0, 63},
                   {"noise_sq_attack", "Noise SQ Attack", QL40_REF(hardware.noise_sq_attack),
                    nullptr, 0, 15},
                   {"noise_sq_hysteresis", "Noise SQ Hysteresis",
                    QL40_REF(hardware.noise_sq_hysteresis), nullptr, 0, 15},
                   {"scan_pll_b", "Scan PLL", QL40_REF(hardware.scan_pll_b), nullptr, 0, 255},
               }});
  s.push_back({"identity",
               "Identity",
               {{"market_application", "Market Application", QL40_REF(market_application), nullptr,
                 0, 9999}}});
  s.push_back(
      {"option",
       "Option",
       {
           {"option_unit", "Option Unit", QL40_REF(option.option_unit),
            QL40_LIST(res::kOptionUnits)},
           {"lcd_display", "LCD Display", QL40_REF(option.lcd_display),
            QL40_LIST(res::kNormalInverted)},
           {"lighting", "Lighting", QL40_REF(option.lighting), QL40_LIST(res::kDisabledEnabled)},
           {"beep", "Beep", QL40_REF(option.beep), QL40_LIST(res::kDisabledEnabled)},
           {"scan_list", "Scan List", QL40_REF(option.scan_list), QL40_LIST(res::kScanListKinds)},
           {"key_lock", "Key Lock", QL40_REF(option.key_lock), QL40_LIST(res::kDisabledEnabled)},
           {"sq_threshold", "SQ Threshold", QL40_REF(option.sq_threshold),
            QL40_FN(res::SqThresholdLabels)},
           {"encryption_device", "Encryption Device", QL40_REF(option.encryption_device),
            QL40_LIST(res::kYesNo)},
           {"dtmf_16_key", "DTMF 16 Key", QL40_REF(option.keypad_16), QL40_LIST(res::kYesNo)},
           {"dtmf_receiver", "DTMF Receiver", QL40_REF(option.dtmf_receiver),
            QL40_LIST(res::kYesNo)},
           {"byte28_bit7", "Byte 28 Bit 7", QL40_REF(option.byte28_bit7), nullptr, 0, 1},
       }});
  std::vector<Field> keys;
  static const char* const kKeyKeys[] = {"monitor", "lamp", "top_sel", "side_sel",
                                         "a",       "b",    "c",       "d"};
  static const char* const kKeyTitles[] = {"[Monitor] Key",  "[Lamp] Key", "[TOP SEL] Key",
                                           "[SIDE SEL] Key", "[A] Key",    "[B] Key",
                                           "[C] Key",        "[D] Key"};
  static int& (*const kKeyRefs[])(Records&) = {QL40_REF(keys.keys[0]), QL40_REF(keys.keys[1]),
                                               QL40_REF(keys.keys[2]), QL40_REF(keys.keys[3]),
                                               QL40_REF(keys.keys[4]), QL40_REF(keys.keys[5]),
                                               QL40_REF(keys.keys[6]), QL40_REF(keys.keys[7])};
  for (int k = 0; k < kKeyCount; ++k) {
    keys.push_back({kKeyKeys[k], kKeyTitles[k], kKeyRefs[k], QL40_LIST(res::kKeyFunctions)});
  }
  keys.push_back(
      {"toggle_a", "Toggle A", QL40_REF(keys.toggles[0]), QL40_LIST(res::kToggleFunctions)});
  keys.push_back({"toggle_centre", "Toggle Centre", QL40_REF(keys.toggles[1]),
                  QL40_LIST(res::kToggleFunctions)});
  keys.push_back(
      {"toggle_b", "Toggle B", QL40_REF(keys.toggles[2]), QL40_LIST(res::kToggleFunctions)});
  keys.push_back(
      {"set_mode", "Set Mode", QL40_REF(keys.set_mode), QL40_LIST(res::kDisabledEnabled)});
  keys.push_back(
      {"rotary_mode", "Rotary Switch", QL40_REF(keys.rotary_mode), QL40_LIST(res::kRotaryModes)});
  keys.push_back({"ptt_lock", "PTT Lock", QL40_REF(keys.ptt_lock), QL40_LIST(res::kOffOn)});
  keys.push_back({"dial_lock", "Dial Lock", QL40_REF(keys.dial_lock), QL40_LIST(res::kOffOn)});
  keys.push_back({"key_lock", "Key Lock", QL40_REF(keys.key_lock), QL40_LIST(res::kOffOn)});
  keys.push_back({"holding_time", "Key Holding Time", QL40_REF(keys.holding_time),
                  QL40_LIST(res::kKeyHoldingTimes)});
  s.push_back({"keys", "Keys", keys});
  s.push_back(
      {"scan",
       "Scanning",
       {
           {"dual_watch_time", "Dual Watch Time", QL40_REF(scan.dual_watch_time),
            QL40_FN(DualWatchLabels)},
           {"resume_time1", "Scan Resume Time 1", QL40_REF(scan.resume_time1),
            [](const Records&) { return Seconds(res::kScanResumeTimes1); }},
           {"resume_time2", "Scan Resume Time 2", QL40_REF(scan.resume_time2),
            [](const Records&) { return Seconds(res::kScanResumeTimes2); }},
           {"home_channel", "Home Channel", QL40_REF(scan.home_channel), nullptr, 1, 255},
           {"home_channel_scan", "Home Channel Scan", QL40_REF(scan.home_channel_scan),
            QL40_LIST(res::kDisabledEnabled)},
           {"talk_back", "Talk Back", QL40_REF(scan.talk_back), QL40_LIST(res::kDisabledEnabled)},
           {"revert_channel", "Revert Channel", QL40_REF(scan.revert_channel),
            QL40_LIST(res::kRevertChannels)},
           {"scan_edit", "Scan Edit", QL40_REF(scan.scan_edit), QL40_LIST(res::kDisabledEnabled)},
           {"scan_beep", "Scan Beep", QL40_REF(scan.scan_beep), QL40_LIST(res::kDisabledEnabled)},
           {"pri_beep", "PRI Beep", QL40_REF(scan.pri_beep), QL40_LIST(res::kDisabledEnabled)},
       }});
  s.push_back({"power_saving",
               "Power Saving",
               {
                   {"transmit_timer", "Transmit Timer", QL40_REF(general.transmit_timer),
                    QL40_FN(res::TransmitTimerLabels)},
                   {"penalty_timer", "Penalty Timer", QL40_REF(general.penalty_timer),
                    [](const Records&) { return Seconds(res::kPenaltyTimes); }},
                   {"release_timer", "Release Timer", QL40_REF(general.release_timer),
                    [](const Records&) { return Seconds(res::kReleaseTimes); }},
                   {"apo_time", "APO Time", QL40_REF(general.apo_time), QL40_LIST(res::kApoTimes)},
                   {"receive_save", "Receive Save", QL40_REF(general.receive_save),
                    QL40_LIST(res::kReceiveSaveRatios)},
                   {"beep_level", "Beep Level", QL40_REF(general.beep_level), nullptr, 1, 16},
                   {"mic_gain", "Mic Gain", QL40_REF(general.mic_gain), QL40_LIST(res::kMicGains)},
                   {"lamp_mode", "Lamp", QL40_REF(general.lamp_mode), QL40_LIST(res::kLampModes)},
                   {"rx_lamp", "RX Lamp", QL40_REF(general.rx_lamp), QL40_LIST(res::kOffOn)},
                   {"af_vr_min", "AF VR Min", QL40_REF(general.af_vr_min), nullptr, 0, 255},
               }});
  s.push_back(
      {"emergency",
       "Emergency",
       {
           {"channel", "Emergency Channel", QL40_REF(emergency.channel), EmergencyChannelLabels},
           {"af_mute", "AF Mute", QL40_REF(emergency.af_mute), QL40_LIST(res::kDisabledEnabled)},
           {"lcd", "LCD", QL40_REF(emergency.lcd), QL40_LIST(res::kDisabledEnabled)},
           {"led", "LED", QL40_REF(emergency.led), QL40_LIST(res::kDisabledEnabled)},
           {"time", "Emergency Time", QL40_REF(emergency.time), QL40_FN(res::EmergencyTimeLabels)},
           {"rx_time", "RX Time", QL40_REF(emergency.rx_time), QL40_FN(res::EmergencyRxTimeLabels)},
           {"tx_time", "TX Time", QL40_REF(emergency.tx_time), QL40_FN(res::EmergencyTxTimeLabels)},
           {"key_hold_time", "Key Hold Time", QL40_REF(emergency.key_hold_time),
            QL40_LIST(res::kEmergencyKeyHoldTimes)},
           {"mic", "Mic", QL40_REF(emergency.mic), QL40_LIST(res::kDisabledEnabled)},
       }});
  s.push_back(
      {"miscellaneous",
       "Miscellaneous",
       {
           {"dcs_complement", "DCS Complement", QL40_REF(general.dcs_complement),
            QL40_LIST(res::kDisabledEnabled)},
           {"power_on_condition", "Power On Condition", QL40_REF(general.power_on_condition),
            QL40_LIST(res::kPowerOnConditions)},
           {"ptt_delay", "PTT Delay", QL40_REF(general.ptt_delay), QL40_LIST(res::kPttDelays)},
           {"bell", "Bell", QL40_REF(general.bell), QL40_LIST(res::kDisabledEnabled)},
           {"monitor_mode", "Monitor Mode", QL40_REF(general.monitor_mode), nullptr, 0, 1},
           {"noise_cancel_mic", "Noise Cancel Mic", QL40_REF(general.noise_cancel_mic),
            QL40_LIST(res::kDisabledEnabled)},
           {"tail_elimination", "Tail Elimination", QL40_REF(general.tail_elimination),
            QL40_LIST(res::kTailEliminations)},
           {"radio_clone", "Radio Clone", QL40_REF(general.radio_clone),
            QL40_LIST(res::kDisabledEnabled)},
           {"rchk_beep", "RCHK Beep", QL40_REF(general.rchk_beep), QL40_LIST(res::kOffOn)},
           {"rchk_tx_time", "RCHK TX Time", QL40_REF(general.rchk_tx_time),
            QL40_LIST(res::kRchkTxTimes)},
           {"encryption_type", "Encryption Type", QL40_REF(general.encryption_type),
            QL40_LIST(res::kEncryptionTypes)},
           {"byte182_bit7", "Byte 182 Bit 7", QL40_REF(general.byte182_bit7), nullptr, 0, 1},
           {"byte187_bit4", "Byte 187 Bit 4", QL40_REF(general.byte187_bit4), nullptr, 0, 1},
       }});
  s.push_back(
      {"ani",
       "ANI",
       {
           {"type", "ANI Type", QL40_REF(ani.type), QL40_LIST(res::kAniTypes)},
           {"transmit", "ANI Transmit", QL40_REF(ani.transmit), QL40_LIST(res::kAniTransmits)},
           {"delay", "ANI Delay", QL40_REF(ani.delay), QL40_LIST(res::kAniDelays)},
           {"speed", "ANI Speed", QL40_REF(ani.speed), QL40_LIST(res::kAniSpeeds)},
       }});
  s.push_back(
      {"dtmf",
       "DTMF",
       {
           {"pause_time", "Pause Time", QL40_REF(dtmf.pause_time), QL40_LIST(res::kDtmfPauseTimes)},
           {"speed", "DTMF Speed", QL40_REF(dtmf.speed), QL40_LIST(res::kDtmfSpeeds)},
           {"monitor", "DTMF Monitor", QL40_REF(dtmf.monitor), QL40_LIST(res::kDisableEnable)},
           {"answer_back", "Answer Back", QL40_REF(dtmf.answer_back), QL40_LIST(res::kOffOnPlain)},
           {"auto_reset", "Auto Reset", QL40_REF(dtmf.auto_reset), QL40_LIST(res::kOffOnPlain)},
           {"call_times", "Call Times", QL40_REF(dtmf.call_times), QL40_LIST(res::kCallTimes)},
           {"keypad", "DTMF Keypad", QL40_REF(dtmf.keypad), QL40_LIST(res::kDisableEnable)},
       }});
  s.push_back({"two_tone_parameters",
               "Two-Tone",
               {
                   {"auto_reset", "Auto Reset", QL40_REF(two_tone_parameters.auto_reset),
                    QL40_LIST(res::kOffOnPlain)},
                   {"group_call", "Group Call", QL40_REF(two_tone_parameters.group_call),
                    QL40_LIST(res::kGroupCalls)},
                   {"call_times", "Call Times", QL40_REF(two_tone_parameters.call_times),
                    QL40_LIST(res::kCallTimes)},
               }});
  return s;
}

#undef QL40_LIST
#undef QL40_FN
#undef QL40_REF

bool SameHardware(const HardwareSettings& a, const HardwareSettings& b) {
  const auto tie = [](const HardwareSettings& h) {
    return std::tie(h.band, h.product_type, h.channel_spacing, h.sq_delay, h.ref_xtal, h.first_if,
                    h.injection, h.dcs_rx_polarity, h.dcs_tx_polarity, h.sq_release,
                    h.noise_sq_attack, h.noise_sq_hysteresis, h.scan_pll_b);
  };
  return tie(a) == tie(b);
}

}  // namespace

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

bool SameWords(std::string_view a, std::string_view b) {
  // Blanks are padding in the program's lists ("3   Mins"), never meaning. Compared in place:
  // imports ask this of every cell.
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    while (i < a.size() && a[i] == ' ') ++i;
    while (j < b.size() && b[j] == ' ') ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (lower(a[i]) != lower(b[j])) return false;
    ++i;
    ++j;
  }
}

std::string Words(std::string_view text) {
  std::string out;
  for (char c : Trim(text)) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

GroupCounts CountsOf(const ChannelTable& table) {
  GroupCounts counts{};
  for (int g = 0; g < kGroupCount; ++g) counts[g] = table.count[static_cast<std::size_t>(g)];
  return counts;
}

void Records::Decode(const Codeplug& doc) {
  const Image& image = doc.image;
  option.Decode(image);
  scan.Decode(image, CountsOf(doc.channels));
  keys.Decode(image);
  emergency.Decode(image, doc.identity.firmware_version);
  general.Decode(image);
  ani.Decode(image);
  dtmf.Decode(image);
  dtmf_codes.Decode(image);
  paging.Decode(image);
  two_tone_parameters.Decode(image);
  int tone_format = doc.tone_format;
  two_tone.Decode(image, tone_format);
  hardware = doc.hardware;
  market_application = doc.identity.market_application;
}

void Records::EncodeChanged(const Records& before, Codeplug& doc) const {
  Image& image = doc.image;
  if (!(option == before.option)) {
    option.Encode(image);
  }
  if (!SameHardware(hardware, before.hardware) || market_application != before.market_application) {
    HardwareSettings hw = hardware;
    hw.Encode(image);
    RadioIdentity identity = doc.identity;
    identity.market_application = market_application;
    identity.Encode(image);
  }
  doc.RefreshFromImage();
  const int unit = doc.option_unit;
  if (!(scan == before.scan)) std::as_const(scan).Encode(image, CountsOf(doc.channels));
  if (!(keys == before.keys)) std::as_const(keys).Encode(image, unit);
  if (!(emergency == before.emergency)) emergency.Encode(image);
  if (!(general == before.general)) std::as_const(general).Encode(image);
  if (!(ani == before.ani)) ani.Encode(image);
  if (!(dtmf == before.dtmf)) dtmf.Encode(image);
  if (!(dtmf_codes == before.dtmf_codes)) dtmf_codes.Encode(image);
  if (!(paging == before.paging)) paging.Encode(image, unit);
  if (!(two_tone_parameters == before.two_tone_parameters)) two_tone_parameters.Encode(image);
  if (!(two_tone == before.two_tone)) two_tone.Encode(image, unit);
}

const std::vector<Section>& Sections() {
  static const std::vector<Section> sections = BuildSections();
  return sections;
}

std::vector<NamedValue> NamedValues(const Records& r, const Codeplug& doc) {
  std::vector<NamedValue> out;
  out.reserve(400);
  const auto add = [&out](std::string path, std::string title, std::string text) {
    out.push_back({std::move(path), std::move(title), std::move(text)});
  };
  for (const Section& section : Sections()) {
    for (const Field& field : section.fields) {
      add(std::string(section.key) + "." + field.key,
          std::string(section.title) + ": " + field.title, FieldText(field, r));
    }
  }
  add("hardware.ref_xtal", "Hardware: Ref XTAL", Format("%.3f", r.hardware.ref_xtal));
  add("hardware.first_if", "Hardware: First IF", Format("%.3f", r.hardware.first_if));
  add("identity.firmware", "Identity: Firmware", doc.identity.FirmwareText());
  add("identity.serial_number", "Identity: Serial No", doc.identity.serial_number);
  add("default_split", "Miscellaneous: Automatic Offset", Format("%.5f", doc.default_split));
  add("power_saving.power_on_tag", "Power Saving: Power On Tag", r.general.power_on_tag);
  add("ani.ani_code", "ANI: ANI Code", r.ani.ani_code);
  add("ani.emergency_code", "ANI: Emergency Code", r.ani.emergency_code);
  add("dtmf.pause_character", "DTMF: Pause Character", Trim(r.dtmf.PauseText()));
  for (int i = 0; i < kDtmfCodeCount; ++i) {
    add("dtmf_codes[" + std::to_string(i) + "]", "DTMF: Code " + std::to_string(i + 1),
        r.dtmf_codes.codes[static_cast<std::size_t>(i)]);
  }
  for (int i = 0; i < kPagingSlotCount; ++i) {
    const PagingSlot& s = r.paging.slots[static_cast<std::size_t>(i)];
    add("paging[" + std::to_string(i) + "]", "Paging: Code " + std::to_string(i + 1),
        s.code.empty() ? "(empty)"
                       : s.code + " " + Trim(res::LabelOr(res::kPagingFlags, s.enc_dec)));
  }
  for (int i = 0; i < kPagingSlotCount; ++i) {
    const TwoToneRow& t = r.two_tone.rows[static_cast<std::size_t>(i)];
    add("two_tone[" + std::to_string(i) + "]", "Two-Tone: Row " + std::to_string(i + 1),
        Format("%d %d %d", t.group, t.first, t.second));
  }
  const ChannelTable& table = doc.channels;
  for (int g = 0; g < kGroupCount; ++g) {
    const auto k = static_cast<std::size_t>(g);
    const std::string path = "groups[" + std::to_string(g) + "].";
    const std::string place = "group " + std::to_string(g + 1);
    add(path + "channels", place + " Channels", std::to_string(table.count[k]));
    add(path + "tag", place + " Tag", table.group_tag[k]);
    add(path + "scan_mode", place + " Scan Mode",
        Trim(res::LabelOr(res::kGroupScanModes, table.scan_mode[k])));
    add(path + "priority", place + " Priority", std::to_string(table.priority[k]));
  }
  return out;
}

std::vector<NamedValue> NamedValues(const Codeplug& doc) {
  Records r;
  r.Decode(doc);
  return NamedValues(r, doc);
}

std::string FieldText(const Field& field, const Records& records) {
  const int value = field.get(const_cast<Records&>(records));
  if (field.labels != nullptr) {
    const std::vector<std::string> labels = field.labels(records);
    if (value >= 0 && static_cast<std::size_t>(value) < labels.size()) {
      return Words(labels[static_cast<std::size_t>(value)]);
    }
  }
  return std::to_string(value);
}

}  // namespace ql40::exchange
