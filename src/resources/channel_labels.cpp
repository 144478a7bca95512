#include "resources/channel_labels.h"

#include <iterator>

namespace ql40::res {
namespace {

constexpr std::string_view kCtcssTonesData[] = {
    "Off",   " 67.0", " 69.3", " 71.9", " 74.4", " 77.0", " 79.7", " 82.5", " 85.4",
    " 88.5", " 91.5", " 94.8", " 97.4", "100.0", "103.5", "107.2", "110.9", "114.8",
    "118.8", "123.0", "127.3", "131.8", "136.5", "141.3", "146.2", "151.4", "156.7",
    "162.2", "167.9", "173.8", "179.9", "186.2", "192.8", "203.5", "210.7", "218.1",
    "225.7", "233.6", "241.8", "250.3", "159.8", "165.5", "171.3", "177.3", "183.5",
    "189.9", "196.6", "199.5", "206.5", "229.1", "254.1",
};

constexpr std::string_view kDcsCodesData[] = {
    "Off", "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054",
    "065", "071", "072", "073", "074", "114", "115", "116", "122", "125", "131", "132",
    "134", "143", "145", "152", "155", "156", "162", "165", "172", "174", "205", "212",
    "223", "225", "226", "243", "244", "245", "246", "250", "251", "252", "255", "261",
    "263", "265", "266", "271", "274", "306", "311", "315", "325", "331", "332", "343",
    "346", "351", "356", "364", "365", "371", "411", "412", "413", "423", "431", "432",
    "435", "445", "446", "452", "454", "455", "462", "464", "465", "466", "503", "506",
    "516", "523", "526", "532", "546", "565", "606", "612", "624", "627", "631", "632",
    "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754",
};

// As written by the radio's makers; it is not an involution (435 -> 243 -> 351).
constexpr std::string_view kDcsComplementCodesData[] = {
    "Off", "047", "244", "464", "627", "051", "172", "445", "023", "032", "452", "413",
    "271", "306", "245", "506", "174", "712", "152", "754", "225", "365", "364", "546",
    "223", "412", "274", "115", "731", "265", "503", "251", "036", "074", "263", "356",
    "134", "122", "411", "351", "025", "072", "523", "250", "165", "462", "446", "732",
    "205", "156", "454", "065", "145", "071", "664", "423", "526", "465", "455", "532",
    "612", "243", "212", "131", "125", "734", "226", "143", "054", "315", "723", "516",
    "243", "043", "255", "053", "266", "332", "252", "026", "331", "662", "162", "073",
    "432", "246", "325", "343", "132", "703", "631", "346", "632", "031", "606", "624",
    "743", "466", "311", "565", "114", "431", "155", "261", "371", "654", "116",
};

constexpr std::string_view kSubAudioTypesData[] = {"-----", "CTCSS", "DCS"};
constexpr std::string_view kScanLettersData[] = {"-", "D", "U", "B"};
constexpr std::string_view kLockOutsData[] = {"--", "BC", "BT"};
constexpr std::string_view kWideNarrowData[] = {"W", "N"};
constexpr std::string_view kHighLowData[] = {"H", "L"};
constexpr std::string_view kLowPowerLevelsData[] = {"3", "2", "1"};
constexpr std::string_view kCheckMarksData[] = {"-", "v"};
constexpr std::string_view kPriorityMarksData[] = {"-", "P"};
constexpr std::string_view kGroupScanModesData[] = {"NONE    ", "QTS     ", "SCAN    ", "SCAN QTS"};

constexpr std::string_view kGridHeadingRow0Data[] = {
    " ",         " ",         " ",           " ",           "Frequency",   "Frequency",
    "SUB AUDIO", "SUB AUDIO", "SUB AUDIO",   "Pwr Save",    "Pwr Save",    "Power",
    "Power",     " ",         " ",           " ",           " ",           " ",
    "Lock",      " ",         "Clock Shift", "Clock Shift", "Clock Shift", " "};
constexpr std::string_view kGridHeadingRow1Data[] = {
    "Chn", "Pri", "W/N", "TAG", "Receive", "Transmit", "Type", "Dec", "Enc", "RX", "TX",  "H",
    "L",   "SC",  "TOT", "SQ",  "ANI",     "Encr",     "out",  "",    "TX",  "RX", "Opt", "RCHK"};
constexpr std::string_view kCodeColumnHeadingsData[] = {"Page", "2Ton", "SIG"};
constexpr std::string_view kGridHeadingRow0ShownData[] = {
    " ",         " ",         " ",           " ",           "Frequency",   "Frequency",
    "Sub Audio", "Sub Audio", "Sub Audio",   "Pwr Save",    "Pwr Save",    "Power",
    "Power",     " ",         " ",           " ",           " ",           " ",
    "Lock",      " ",         "Clock Shift", "Clock Shift", "Clock Shift", " "};
constexpr std::string_view kColumnGroupNamesData[] = {
    "Pri", "W/N",     "TAG", "Frequency", "Sub Audio", "Power Save", "Power",       "Scan",
    "TOT", "Squelch", "ANI", "Encr",      "Lock Out",  "Page/Sig",   "Clock Shift", "RCHK"};

constexpr std::string_view kInfoPanelLabelsData[] = {"Serial No",  "Freq Band", "ProductType",
                                                     "FW Version", "COM Port",  "Printer"};

constexpr std::string_view kScanModeEntriesData[] = {"OFF", "DEALER", "USER", "BOTH"};
constexpr std::string_view kCodeCaptionsData[] = {"Page Code", "2Tone Code", "SUB Signal",
                                                  "Sub CPU",   "Sub CPU",    "Page Code"};
constexpr std::string_view kSubCpuCodeEntriesData[] = {"-: OFF", "1: GE Star", "2: MDC-1200",
                                                       "3: DTMF"};

constexpr std::string_view kAllocationGroupLabelsData[] = {
    "Grp &1",     "Grp &2",     "Grp &3",     "Grp &4",     "Grp &5",
    "Grp &6",     "Grp &7",     "Grp &8",     "Grp &9",     "Grp 10(&A)",
    "Grp 11(&B)", "Grp 12(&C)", "Grp 13(&D)", "Grp 14(&E)", "Grp 15(&F)",
    "Grp 16(&G)", "Grp 17(&H)", "Grp 18(&I)", "Grp 19(&J)", "Grp 20(&K)"};

static_assert(std::size(kCtcssTonesData) == 51);
static_assert(std::size(kDcsCodesData) == 107);
static_assert(std::size(kDcsComplementCodesData) == std::size(kDcsCodesData));
static_assert(std::size(kGridHeadingRow0Data) == 24 && std::size(kGridHeadingRow1Data) == 24);
static_assert(std::size(kGridHeadingRow0ShownData) == 24);
static_assert(std::size(kColumnGroupNamesData) == 16);

}  // namespace

constinit const LabelList kCtcssTones = kCtcssTonesData;
constinit const LabelList kDcsCodes = kDcsCodesData;
constinit const LabelList kDcsComplementCodes = kDcsComplementCodesData;
constinit const LabelList kSubAudioTypes = kSubAudioTypesData;
constinit const LabelList kScanLetters = kScanLettersData;
constinit const LabelList kLockOuts = kLockOutsData;
constinit const LabelList kWideNarrow = kWideNarrowData;
constinit const LabelList kHighLow = kHighLowData;
constinit const LabelList kLowPowerLevels = kLowPowerLevelsData;
constinit const LabelList kCheckMarks = kCheckMarksData;
constinit const LabelList kPriorityMarks = kPriorityMarksData;
constinit const LabelList kGroupScanModes = kGroupScanModesData;
constinit const LabelList kGridHeadingRow0 = kGridHeadingRow0Data;
constinit const LabelList kGridHeadingRow1 = kGridHeadingRow1Data;
constinit const LabelList kCodeColumnHeadings = kCodeColumnHeadingsData;
constinit const LabelList kGridHeadingRow0Shown = kGridHeadingRow0ShownData;
constinit const LabelList kColumnGroupNames = kColumnGroupNamesData;
constinit const LabelList kInfoPanelLabels = kInfoPanelLabelsData;
constinit const LabelList kScanModeEntries = kScanModeEntriesData;
constinit const LabelList kCodeCaptions = kCodeCaptionsData;
constinit const LabelList kSubCpuCodeEntries = kSubCpuCodeEntriesData;
constinit const LabelList kAllocationGroupLabels = kAllocationGroupLabelsData;

}  // namespace ql40::res
