#include "settings/default_settings.h"

#include "codeplug/codeplug.h"
#include "settings/emergency_settings.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"
#include "settings/option_settings.h"
#include "settings/scan_settings.h"
#include "signalling/dtmf.h"
#include "signalling/paging.h"

namespace ql40 {

void EncodeDefaultSettings(Image& image, const std::array<int, 20>& group_counts, int) {
  // A new codeplug has no option unit, so the slots are encoded in the DTMF form (empty).
  constexpr int kNewOptionUnit = kOptionNone;
  OptionSettings option;
  option.Encode(image);
  ScanSettings scan;
  scan.Encode(image, group_counts);
  TwoToneParameters two_tone_parameters;
  two_tone_parameters.Encode(image);
  AniSettings ani;
  ani.Encode(image);
  DtmfSettings dtmf;
  dtmf.Encode(image);
  DtmfCodeList dtmf_codes;
  dtmf_codes.Encode(image);
  PagingTable paging;
  paging.Encode(image, kNewOptionUnit);
  TwoToneTable two_tone;
  two_tone.Encode(image, kNewOptionUnit);
  KeyAssignment keys;
  keys.Encode(image, kNewOptionUnit);
  EmergencySettings emergency;
  emergency.Encode(image);
  GeneralSettings general;
  general.Encode(image);
}

int DecodeToneFormatSwitch(const Image& image, int option_unit, int tone_format) {
  if (option_unit != kOption2Tone) return tone_format;
  TwoToneTable scratch;
  scratch.Decode(image, tone_format);
  return tone_format;
}

void ReencodeKeyAssignment(Image& image, int option_unit) {
  KeyAssignment keys;
  keys.Decode(image);
  keys.Encode(image, option_unit);
}

}  // namespace ql40
