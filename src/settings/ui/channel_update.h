#pragma once

// The channel update of Channel Allocation's OK: the newly allocated channels are read from
// the radio behind the "Update Channels" box, on a worker thread so that the box is drawn.

#include <QWidget>

#include "codeplug/codeplug.h"
#include "link/serial_port.h"
#include "settings/allocation_form.h"

namespace ql40::ui {

// Runs UpdateChannelsFromRadio; the window is disabled while it runs, and the box shows only
// once a radio of the same band has answered.
ChannelUpdateReport RunChannelUpdate(QWidget* window, Codeplug& doc,
                                     const link::PortOpener& open_port, int old_total,
                                     int new_total);

}  // namespace ql40::ui
