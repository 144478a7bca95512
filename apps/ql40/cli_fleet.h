#pragma once

// Several radios at once from the command line (cmd_fleet.cpp).

#include "cli.h"
#include "fleet/fleet_run.h"
#include "link/clone_session.h"

namespace ql40::cli {

// Runs the fleet with per-radio progress on stderr and the table of results at the end.
// Questions are asked per radio with its port named, or answered by the policy. Exit status 0
// only when every radio succeeded, 130 after Ctrl+C, 1 otherwise (2 for bad options).
int RunFleet(fleet::FleetOptions options, TerminalPrompter::Policy policy);

// The record a single-radio transfer leaves: its line in the fleet log, and a backup of the
// image read (null when none was).
void RecordSingleTransfer(fleet::FleetJob job, const std::string& port,
                          const link::CloneSession& session, const link::TransferOutcome& outcome,
                          const Image* image_read, const std::string& file);

}  // namespace ql40::cli
