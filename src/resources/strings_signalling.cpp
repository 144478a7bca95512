// Texts of the scanning, power saving, emergency, marketing and miscellaneous dialogs and of
// the signalling dialogs: prompts (id = control id), captions and control labels.

#include <string_view>

#include "resources/string_areas.h"

namespace ql40::res {
namespace {

// Prompts that several controls share.
constexpr std::string_view kDtmfCodePrompt = "DTMF Code\n<ENTER>";
constexpr std::string_view kPageCodeEditPrompt = "Page Code\n<ENTER>";
constexpr std::string_view kPageCodeListPrompt = "Page Code\n<SELECT>";
constexpr std::string_view kToneGroupPrompt = "Select 2Tone Group\n<SELECT>";
constexpr std::string_view kFirstToneListPrompt = "Select 1st Frequency\n<SELECT>";
constexpr std::string_view kSecondToneListPrompt = "Select 2nd Frequency\n<SELECT>";
constexpr std::string_view kFirstToneEditPrompt = "1st Frequency\n<ENTER>";
constexpr std::string_view kSecondToneEditPrompt = "2nd Frequency\n<ENTER>";

// clang-format off
#define QL40_TONE_ROW(k)                                                                   \
  {k, kToneGroupPrompt}, {k + 1, kFirstToneListPrompt}, {k + 2, kSecondToneListPrompt}, \
  {k + 3, kFirstToneEditPrompt}, {k + 4, kSecondToneEditPrompt}

constexpr StringEntry kTable[] = {
    // Scan Parameters.
    {2101, "Time interval to check carrier at PRI channel\n0.5 ... 3 Secs"},
    {2102, "Time spent checking for carrier per channel before resume scan\n0.25..14 Secs"},
    {2103, "Time spent checking for carrier per channel before resume scan\n2..60 Secs"},
    {2104, "Enable/Disable Home Channel scan\n<SELECT>"},
    {2105, "Radio will transpond after calling radio stops transmitting\n<SELECT>"},
    {2106, "Channel to revert to when PTT is pressed during scanning\n<SELECT>"},
    {2107, "Allow user to select scan channel by using radio button\n<SELECT>"},
    {2108, "Enable/Disable Beep when radio enters into scan mode\n<SELECT>"},
    {2109, "Enable/Disable Beep when radio stays at PRI channel\n<SELECT>"},
    {2110, "Specify Home Channel\n1 .. 255"},
    // Power Saving.
    {2150, "Edit Power-ON Alpha Tag display"},
    {2151, "Adjust Beep Level\n1 ... 16"},
    {2152, "AF Vr Minimun A/D value\n0 .. 255"},
    {2153, "Maximum transmit time allowed when TOT is select for a channel\n0.5 .. 7 mins"},
    {2154, "Transmit inhibit time applied when TOT is violated\n0 .. 60 secs"},
    {2155, "Transmit inhibit time applied after releasing PTT button\n0 ... 5 secs"},
    {2156, "Automatic Power Off after APO Time expired\n0 ... 8 hrs"},
    {2157, "Determine the proportion of receiver on and off time\n<SELECT>"},
    {2158, "Adjust MIC gain\n<SELECT>"},
    {2159, "Lamp mode\n<SELECT>"},
    {2160, "Turn RX Lamp On/OFF\n<SELECT>"},
    // Emergency.
    {2300, "Select PRI or HOME for Emergency Channel\n<SELECT>"},
    {2301, "Disable / Enable Emergency Audio Mute\n<SELECT>"},
    {2302, "Disable / Enable Emergency LCD\n<SELECT>"},
    {2303, "Disable / Enable Emergency LED\n<SELECT>"},
    {2304, "Specify Emergency time(10 minutes - 160 minutes\n<SELECT>"},
    {2305, "Specify Emergency receive time(10 seconds - 160 seconds\n<SELECT>"},
    {2306, "Specify Emergency tranmits time(5 seconds - 80 seconds\n<SELECT>"},
    {2307, "Amount of time required to press the key to have action taken\n<SELECT>"},
    {2308, "Disable / Enable Emergency MIC\n<SELECT>"},
    // Marketing Parameters.
    {2400, "Dealer Use Only (for information only)"},
    {2401, "Serial Number (Programmed by Manufacturer)"},
    // Miscellaneous.
    {2500, "DCS Complement Enabled/Disabled\n<SELECT>"},
    {2501, "Power On Condition\n<SELECT>"},
    {2502, "Delay Time after PTT release and before transmitter shut off\n<SELECT>"},
    {2503, "Eanble/Dsiable Bell\n<SELECT>"},
    {2504, "Monitor mode\n<SELECT>"},
    {2505, "Enable/Disable Noise Cancelling MIC\n<SELECT>"},
    {2506, "Squelch Tail Elimination\n<SELECT>"},
    {2507, "Enable/Disable radio to radio cloning\n<SELECT>"},
    {2508, "RCHK Beep\n<SELECT>"},
    {2509, "RCHK transmit time (25 secs or 55 secs)\n<SELECT>"},
    {2510, "Encryption Type KSE-40/Hi Level\n<SELECT>"},
    {2520, "Automatic offset above RX applied to TX frequency\n-99.9 .. +99.9MHz"},
    // ANI Setting.
    {3001, "ANI Type DTMF/Option ANI\n<SELECT>"},
    {3002, "ANI Transmit Method\n<SELECT>"},
    {3003, "Delay Time between PTT pressed and first code out\n<SELECT>"},
    {3004, "Time Duration for each digit\n<SELECT>"},
    {3005, "ANI Code (Max. 15 digits)\n<ENTER>"},
    {3006, "Emergency Code (Max. 15 digits)\n<ENTER>"},
    // DTMF Setting.
    {3101, "Specify DTMF Pause Character\n<ENTER>"},
    {3102, "Select DTMF Pause Time\n<SELECT>"},
    {3103, "DTMF Transmit Speed\n<SELECT>"},
    {3104, "DTMF Monitor mode\n<SELECT>"},
    {3105, "Enabled/Disabled Answer Back function\n<SELECT>"},
    {3106, "Automatic reset after scan resume time 2 expired\n<SELECT>"},
    {3107, "Number of times of alert tone will be emitted on paging call receive\n<SELECT>"},
    {3108, "Disable DTMF Keypad\n<SELECT>"},
    // DTMF Code.
    {3201, kDtmfCodePrompt}, {3202, kDtmfCodePrompt}, {3203, kDtmfCodePrompt},
    {3204, kDtmfCodePrompt}, {3205, kDtmfCodePrompt}, {3206, kDtmfCodePrompt},
    {3207, kDtmfCodePrompt}, {3208, kDtmfCodePrompt}, {3209, kDtmfCodePrompt},
    {3210, kDtmfCodePrompt},
    // Paging Code: the ten code edits, then the ten flag lists.
    {3301, kPageCodeEditPrompt}, {3302, kPageCodeEditPrompt}, {3303, kPageCodeEditPrompt},
    {3304, kPageCodeEditPrompt}, {3305, kPageCodeEditPrompt}, {3306, kPageCodeEditPrompt},
    {3307, kPageCodeEditPrompt}, {3308, kPageCodeEditPrompt}, {3309, kPageCodeEditPrompt},
    {3310, kPageCodeEditPrompt},
    {3311, kPageCodeListPrompt}, {3312, kPageCodeListPrompt}, {3313, kPageCodeListPrompt},
    {3314, kPageCodeListPrompt}, {3315, kPageCodeListPrompt}, {3316, kPageCodeListPrompt},
    {3317, kPageCodeListPrompt}, {3318, kPageCodeListPrompt}, {3319, kPageCodeListPrompt},
    {3320, kPageCodeListPrompt},
    // 2Tone Parameters.
    {3401, "Automatic reset after scan resume time 2 expired\n<SELECT>"},
    {3402, "Group call selection\n<SELECT>"},
    {3403, "Number of times of alert tone will be emitted on paging call  receive\n<SELECT>"},
    {3404, "Choice between Standard 2 Tone and User defined 2 Tone\n<SELECT>"},
    // 2 Tone Edit: five controls per row.
    QL40_TONE_ROW(3501), QL40_TONE_ROW(3506), QL40_TONE_ROW(3511), QL40_TONE_ROW(3516),
    QL40_TONE_ROW(3521), QL40_TONE_ROW(3526), QL40_TONE_ROW(3531), QL40_TONE_ROW(3536),
    QL40_TONE_ROW(3541), QL40_TONE_ROW(3546),

    // Captions.
    {62600, "Scan Parameters"},
    {62601, "Power Saving"},
    {62602, "Emergency"},
    {62603, "Marketing Parameters"},
    {62604, "Miscellaneous"},
    {62605, "ANI Setting"},
    {62606, "DTMF Setting"},
    {62607, "DTMF Code"},
    {62608, "Paging Code"},
    {62609, "2Tone Parameters"},
    {62610, "2 Tone Edit"},
    // Scan Parameters labels.
    {62620, "&Dual Watch Timer"},
    {62621, "Scan Resume Time&1"},
    {62622, "Scan Resume Time&2"},
    {62623, "&Home Channel Scan"},
    {62624, "H&ome Channel"},
    {62625, "&Talk Back"},
    {62626, "&Revert Channel"},
    {62627, "Scan &Edit"},
    {62628, "&Scan Beep"},
    {62629, "&PRI Beep"},
    // Power Saving labels.
    {62640, "P&ower ON Tag"},
    {62641, "&Transmit Timer"},
    {62642, "&Penalty Timer"},
    {62643, "&Release Timer"},
    {62644, "&APO Time mode"},
    {62645, "Re&ceive Save mode"},
    {62646, "&Beep Level"},
    {62647, "&MIC Gain"},
    {62648, "&Lamp mode"},
    {62649, "R&X Lamp"},
    {62650, "AF &Vr MIN Level"},
    // Emergency labels.
    {62660, "Emergency &Channel"},
    {62661, "Emergency &AF Mute"},
    {62662, "Emergency &LCD"},
    {62663, "Emergency L&ED"},
    {62664, "Emergency &Time"},
    {62665, "Emergency &RX Time"},
    {62666, "Emergency T&X Time"},
    {62667, "Emrg Key &Hold Time"},
    {62668, "Emergency &Mic"},
    // Marketing Parameters labels.
    {62680, "&Market Application"},
    {62681, "Serial Number"},
    // Miscellaneous labels.
    {62690, "&Default Split"},
    {62691, "DCS &Complement"},
    {62692, "&Power On Condition"},
    {62693, "P&TT Delay"},
    {62694, "&Bell"},
    {62695, "&Monitor mode"},
    {62696, "&Noise Cancel MIC"},
    {62697, "CTCSS Tai&l Elim"},
    {62698, "&Radio to Radio Clone"},
    {62699, "RCH&K Beep"},
    {62700, "&RCHK TX Time"},
    {62701, "&Encryption Type"},
    {62702, "%-5.1f MHz"},
    // ANI Setting labels.
    {62710, "&ANI Type"},
    {62711, "ANI &Transmit"},
    {62712, "ANI &Delay"},
    {62713, "ANI &Speed"},
    {62714, "ANI &Code"},
    {62715, "&Emergency Code"},
    // DTMF Setting labels.
    {62720, "&DTMF Pause Code"},
    {62721, "&Pause Time"},
    {62722, "DTMF &Speed"},
    {62723, "DTMF &Monitor"},
    {62724, "&Answer Back"},
    {62725, "Auto &Reset"},
    {62726, "&Call Times"},
    {62727, "DTMF &Keypad"},
    // DTMF Code rows.
    {62730, "DTMF  &1"}, {62731, "DTMF  &2"}, {62732, "DTMF  &3"}, {62733, "DTMF  &4"},
    {62734, "DTMF  &5"}, {62735, "DTMF  &6"}, {62736, "DTMF  &7"}, {62737, "DTMF  &8"},
    {62738, "DTMF  &9"}, {62739, "DTMF  &0"},
    // Paging Code rows.
    {62740, "PAGE  &1"}, {62741, "PAGE  &2"}, {62742, "PAGE  &3"}, {62743, "PAGE  &4"},
    {62744, "PAGE  &5"}, {62745, "PAGE  &6"}, {62746, "PAGE  &7"}, {62747, "PAGE  &8"},
    {62748, "PAGE  &9"}, {62749, "PAGE  &0"},
    // 2Tone Parameters labels.
    {62750, "&Auto Reset"},
    {62751, "&Group Call"},
    {62752, "&Call Times"},
    {62753, "&Tone Format"},
    // 2 Tone Edit rows and headings.
    {62760, " &1"}, {62761, " &2"}, {62762, " &3"}, {62763, " &4"}, {62764, " &5"},
    {62765, " &6"}, {62766, " &7"}, {62767, " &8"}, {62768, " &9"}, {62769, " &0"},
    {62770, "Group"},
    {62771, "1st"},
    {62772, "2nd"},
};
// clang-format on
#undef QL40_TONE_ROW

static_assert(SortedById(kTable));

}  // namespace

std::span<const StringEntry> SignallingStrings() {
  return kTable;
}

}  // namespace ql40::res
