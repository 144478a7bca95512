#pragma once

// Codeplugs and helpers for the channel grid's tests.

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include "channels/grid_edit.h"
#include "channels/ui/channel_view.h"
#include "codeplug/codeplug.h"
#include "shell/app_context.h"

namespace ql40::gridtest {

// A PT-610 codeplug with groups of 40, 0, 255 and 20 channels and every kind of value.
inline void FillCodeplug(Codeplug& doc) {
  doc.ResetToDefaults();
  ChannelTable& t = doc.channels;
  t.count.fill(0);
  t.count[0] = 40;
  t.count[2] = 255;
  t.count[3] = 20;
  t.total = 315;
  t.channels_left = t.capacity - t.total;
  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  for (int i = 0; i < t.total; ++i) {
    ChannelRecord& r = t.records[static_cast<std::size_t>(i)];
    r.status = static_cast<std::uint8_t>((i % 7 == 6) ? 0 : 1);
    r.status |= static_cast<std::uint8_t>((i % 4) << 4);
    if (i == 0) r.status |= 1;
    const double mhz = 146.0 + 0.0125 * i;
    char text[16];
    std::snprintf(text, sizeof text, "%9.5f", mhz);
    r.status |= 1;  // programmed while editing, cleared again below
    t.CommitCellText(i, kColReceive, text, ctx);
    std::snprintf(text, sizeof text, "CH%03d", i + 1);
    t.CommitCellText(i, kColTag, text, ctx);
    r.sub_audio_type = i % 3;
    if (r.sub_audio_type != 0) {
      r.set_rx_tone(1 + i % 40);
      r.set_tx_tone(1 + (i + 3) % 40);
    }
    r.set_attribute_byte(0, (i % 3) | ((i % 2) << 2) | ((i % 5 == 0) << 3));
    r.set_attribute_byte(1, 4 | (i % 3));
    r.squelch = static_cast<std::uint8_t>(i % 16);
    if (i % 7 == 6) r.status &= 0xF0;
  }
  t.priority[0] = 3;
  t.SelectGroup(0);
  doc.CommitToImage();
  doc.RefreshFromImage();
  doc.channels.SelectGroup(0);
  doc.modified = false;
}

}  // namespace ql40::gridtest
