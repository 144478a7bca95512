#pragma once

// Channel plans in CHIRP's generic CSV: one header line, one row per memory, columns matched by
// name. A plan goes into consecutive channels of one group; each row is translated into the
// grid's own cell texts and applied with ApplyRow, so a plan is held to the same rules as a
// paste: every value stored other than the file gives it is named, and so is every row that
// cannot be stored and why.

#include <string>
#include <string_view>
#include <vector>

#include "codeplug/codeplug.h"

namespace ql40::exchange {

// Whether the text's header line is that of a CHIRP channel plan (a Frequency column with
// Location, Duplex or Tone beside it).
bool IsChirpCsv(std::string_view text);

// What became of one row of a plan.
struct ChirpRow {
  int row = 0;           // line of the file, the header being row 1
  std::string location;  // the file's own Location, Name and Frequency
  std::string name;
  std::string frequency;
  int channel = -1;                  // absolute index the row goes to; -1 when it is skipped
  std::string skipped;               // why the row is not imported
  std::string replaces;              // tag of the programmed channel the row takes the place of
  std::vector<std::string> changes;  // every value stored other than the file gives it
  // What the channel shows afterwards (the grid's texts).
  std::string tag, receive, transmit, sub_audio;

  // "row 4 (Location 3, "W1AW")": how a message names the row.
  std::string Where() const;
};

struct ChirpImport {
  int group = 0;  // 0-based
  int start = 1;  // first entry of the group to fill, 1-based
  // The file or the placement cannot be taken; nothing imports.
  std::vector<std::string> errors;
  std::vector<ChirpRow> rows;
  int grown = 0;         // channels the group takes from the radio's free channels
  int later_groups = 0;  // groups after it that move up by that many channels
  Codeplug result;       // the codeplug with the rows in; valid when Importable()

  int Imported() const;
  int Skipped() const;
  int Changed() const;  // values stored other than the file gives them
  bool Importable() const { return errors.empty() && Imported() > 0; }
  // One line per error, per skipped row and per changed value, row by row.
  std::vector<std::string> Messages() const;
  // "18 rows into group 1, channels 1-18; 2 rows skipped; group 1 grows by 2 channels".
  std::string Summary() const;
};

// Works out where each row of the plan goes in group (0-based) from its entry start (1-based)
// and what it becomes; doc is not changed. A group too small grows from the radio's free
// channels by the channel allocation rules, and the groups after it move up with their
// channels; when the radio has too few free channels, the error says how many rows fit.
ChirpImport PlanChirpImport(std::string_view text, const Codeplug& doc, int group, int start);

// The programmed channels as a CHIRP plan (Location from 1), "\r\n" line ends.
std::string ExportChirpCsv(const Codeplug& doc);

}  // namespace ql40::exchange
