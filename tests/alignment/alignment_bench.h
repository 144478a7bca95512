#pragma once

// The alignment tests' bench: a simulated radio in alignment mode at the end of an in-process
// cable, a document holding that radio's memory with a few channels of each kind, and the
// radio's record of what it received written as short texts: "35", "32(0F)", "3B(7F,80,05,00)",
// "raw00"; a refused frame ends with "!".

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "alignment/alignment_state.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "link/alignment_link.h"
#include "link/link_rig.h"
#include "radiosim/radio_sim.h"

namespace ql40::testing {

// The channels of the bench's radio, group 1 then group 2 (absolute index in brackets).
enum BenchChannel : int {
  kPlainWide = 0,        // no tone, wide, high power
  kCtcssNarrow = 1,      // CTCSS transmit tone, narrow, low power level 1 (Low2)
  kDcsWide = 2,          // DCS, wide, low power level 2 (Low1), power save on receive
  kUnprogrammed = 3,     // in group 1 but not programmed
  kCtcssWideLevel3 = 4,  // group 2: CTCSS, wide, the unused low power level 3
  kReceiveOnlyTone = 5,  // group 2: CTCSS receive tone only
};

inline Image BenchRadioImage() {
  auto doc = std::make_unique<Codeplug>();
  doc->image = sim::BuiltInRadioImage({});
  doc->RefreshFromImage();
  ChannelTable& t = doc->channels;
  t.count.fill(0);
  t.count[0] = 4;
  t.count[1] = 2;
  for (int i = 0; i < 6; ++i) {
    ChannelRecord& r = t.records[static_cast<std::size_t>(i)];
    r.status = i == kUnprogrammed ? 0 : 1;
    r.rx_frequency = 14652000 + 2500 * i;
    r.tx_frequency = r.rx_frequency;
    r.Set(field::kPowerSetting, 0);
    r.set_narrow(false);
    r.clear_tones();
    r.set_rx_power_save(false);
    r.set_tx_power_save(false);
    r.sub_audio_type = 0;
  }
  auto& ctcss = t.records[kCtcssNarrow];
  ctcss.set_narrow(true);
  ctcss.set_low_power(true);
  ctcss.set_low_power_level(1);
  ctcss.sub_audio_type = 1;
  ctcss.set_tx_tone(13);  // 100.0
  ctcss.set_rx_tone(13);
  auto& dcs = t.records[kDcsWide];
  dcs.set_low_power(true);
  dcs.set_low_power_level(2);
  dcs.sub_audio_type = 2;
  dcs.set_tx_tone(5);  // 032
  dcs.set_rx_tone(5);
  dcs.set_rx_power_save(true);
  auto& level3 = t.records[kCtcssWideLevel3];
  level3.set_low_power_level(3);
  level3.sub_audio_type = 1;
  level3.set_tx_tone(1);
  auto& rx_only = t.records[kReceiveOnlyTone];
  rx_only.sub_audio_type = 1;
  rx_only.set_rx_tone(2);
  doc->CommitToImage();
  // Trims the tests recognise: offsets +5, -3, +2, -4 on every channel, RX Tune 0x70.
  for (int i = 0; i < 6; ++i) {
    const int at = kOffsetChannels + kChannelRecordSize * i;
    doc->image[static_cast<std::size_t>(at + 18)] = 0x70;
    doc->image[static_cast<std::size_t>(at + 20)] = 0x05;
    doc->image[static_cast<std::size_t>(at + 21)] = 0x83;
    doc->image[static_cast<std::size_t>(at + 22)] = 0x02;
    doc->image[static_cast<std::size_t>(at + 23)] = 0x84;
  }
  doc->image[190] = 0x44;  // microphone gain
  doc->image[191] = 0xA5;  // auxiliary value 5 under bits that are not the alignment's
  bits::SetWordLE(doc->image, kOffsetAdjustSum, alignment::AdjustmentChecksum(doc->image));
  return doc->image;
}

struct AlignmentBench {
  explicit AlignmentBench(sim::RadioOptions options = {})
      : radio(std::make_unique<sim::Radio>(options, BenchRadioImage())),
        wire(std::make_unique<sim::Wire>(*radio)),
        port(std::make_unique<WirePort>(*wire, log)),
        link(std::make_unique<link::AlignmentLink>(*port, &prompter)),
        doc(std::make_unique<Codeplug>()) {
    port->SetReadConstant(link::kAlignmentReadConstantMs);
    link->EnterAlignmentMode();
    doc->image = radio->memory();
    doc->RefreshFromImage();
    doc->channels.SelectGroup(0);
    radio->ClearAlignmentLog();
  }

  alignment::PauseFunction Pause() {
    return [this](int ms) { pauses.push_back(ms); };
  }

  // What the radio received since the last call.
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    for (const auto& r : radio->alignment_log()) {
      std::string s = r.raw ? Format("raw%02X", r.command) : Format("%02X", r.command);
      if (!r.data.empty()) {
        s += "(";
        for (std::size_t i = 0; i < r.data.size(); ++i) {
          s += Format(i == 0 ? "%02X" : ",%02X", r.data[i]);
        }
        s += ")";
      }
      if (!r.raw && !r.accepted) s += "!";
      out.push_back(s);
    }
    radio->ClearAlignmentLog();
    return out;
  }

  int Byte(int offset) const { return doc->image[static_cast<std::size_t>(offset)]; }

  std::unique_ptr<sim::Radio> radio;
  std::unique_ptr<sim::Wire> wire;
  PortLog log;
  std::unique_ptr<WirePort> port;
  ScriptedPrompter prompter;
  std::unique_ptr<link::AlignmentLink> link;
  std::unique_ptr<Codeplug> doc;
  std::vector<int> pauses;
};

}  // namespace ql40::testing
