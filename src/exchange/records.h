#pragma once

// Every settings and signalling record of a codeplug decoded at once, with a table of their
// fields by name: the JSON export and import, the diff and the check all walk this one table,
// so a field has one name, one title and one list of texts everywhere.

#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "settings/emergency_settings.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"
#include "settings/option_settings.h"
#include "settings/scan_settings.h"
#include "signalling/dtmf.h"
#include "signalling/paging.h"

namespace ql40::exchange {

struct Records {
  OptionSettings option;
  ScanSettings scan;
  KeyAssignment keys;
  EmergencySettings emergency;
  GeneralSettings general;
  AniSettings ani;
  DtmfSettings dtmf;
  DtmfCodeList dtmf_codes;
  PagingTable paging;
  TwoToneParameters two_tone_parameters;
  TwoToneTable two_tone;
  HardwareSettings hardware;
  int market_application = 0;

  // Decodes every record from the document's image (its channel table gives the group counts).
  void Decode(const Codeplug& doc);
  // Encodes into the document's image the records that differ from before, in the order that
  // keeps shared bytes right (option unit first), and decodes the document again.
  void EncodeChanged(const Records& before, Codeplug& doc) const;
};

GroupCounts CountsOf(const ChannelTable& table);

// One whole-number field of a record: its JSON key, the words the program uses for it, and
// either the list of texts its values stand for or its range.
struct Field {
  const char* key;
  const char* title;
  int& (*get)(Records&);
  std::vector<std::string> (*labels)(const Records&);  // nullptr: a plain number
  int lo = 0;
  int hi = 0;
};

struct Section {
  const char* key;
  const char* title;
  std::vector<Field> fields;
};

const std::vector<Section>& Sections();

// One value of a codeplug outside its channels: its place in the JSON file ("hardware.band",
// "groups[2].tag"), its name in the program's words ("Hardware: Band", "group 3 Tag") and its
// text as the program shows it.
struct NamedValue {
  std::string path;
  std::string title;
  std::string text;
};

// Every named value of the records, the default split and the groups, in the order of the
// codeplug: the fields of every section, the two hardware frequencies, identity, split, tags,
// codes, the signalling lists and the groups.
std::vector<NamedValue> NamedValues(const Records& records, const Codeplug& doc);
// The same of a codeplug's own records.
std::vector<NamedValue> NamedValues(const Codeplug& doc);

// The text of a field's value as the program shows it (the list entry without its padding), or
// the number when it has no list or lies outside it.
std::string FieldText(const Field& field, const Records& records);

// Trailing and leading blanks removed.
std::string Trim(std::string_view text);
// Compares texts without their blanks and without regard to letter case.
bool SameWords(std::string_view a, std::string_view b);
// The text trimmed, runs of blanks inside it made one.
std::string Words(std::string_view text);

}  // namespace ql40::exchange
