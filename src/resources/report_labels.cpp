#include "resources/report_labels.h"

namespace ql40::res {
namespace {

constexpr std::string_view kReportTitleLinesData[] = {
    "       ****************************************************",
    "       *****  Kestra  PT-410/610 Portable Transceiver *****",
    "       ****************************************************"};

constexpr std::string_view kReportQtsMarksData[] = {"---", "QTS"};

constexpr std::string_view kReportPageHeadingsData[] = {
    "                                                        Pwr               E L  P ",
    "    P W                                                 Sav        T    A n oO a ",
    "    r /               FREQUENCY        SUB AUDIO        R T Pwr  S O    N c cu g ",
    "Chn i N   TAG     Receive   Transmit  Type   Dec   Enc  X X H L  C T SQ I r kt e "};
constexpr std::string_view kReportTwoToneHeadingsData[] = {
    "                                                        Pwr               E L  2 ",
    "    P W                                                 Sav        T    A n oO T ",
    "    r /               FREQUENCY        SUB AUDIO        R T Pwr  S O    N c cu o ",
    "Chn i N   TAG     Receive   Transmit  Type   Dec   Enc  X X H L  C T SQ I r kt n "};
constexpr std::string_view kReportSignalHeadingsData[] = {
    "                                                        Pwr               E L    ",
    "    P W                                                 Sav        T    A n oO S ",
    "    r /               FREQUENCY        SUB AUDIO        R T Pwr  S O    N c cu I ",
    "Chn i N   TAG     Receive   Transmit  Type   Dec   Enc  X X H L  C T SQ I r kt G "};

constexpr std::string_view kReportMarksData[] = {"-", "X"};

constexpr std::string_view kReportAniTypesData[] = {"DTMF      ", "Option ANI"};
constexpr std::string_view kReportAniTransmitsData[] = {"PTT Pressed ", "PTT Released"};
constexpr std::string_view kReportAniDelaysData[] = {"50 msec ", "100 msec", "300 msec",
                                                     "500 msec"};
constexpr std::string_view kReportDtmfSpeedsData[] = {"50 msec", "100 msec"};
constexpr std::string_view kReportCallTimesData[] = {"Off    ", "1 time ", "3 times", "5 times"};
constexpr std::string_view kReportPagingFlagsData[] = {"Enc Only", "Enc & Dec"};

}  // namespace

constinit const LabelList kReportTitleLines = kReportTitleLinesData;
constinit const LabelList kReportQtsMarks = kReportQtsMarksData;
constinit const LabelList kReportPageHeadings = kReportPageHeadingsData;
constinit const LabelList kReportTwoToneHeadings = kReportTwoToneHeadingsData;
constinit const LabelList kReportSignalHeadings = kReportSignalHeadingsData;
constinit const LabelList kReportMarks = kReportMarksData;
constinit const LabelList kReportAniTypes = kReportAniTypesData;
constinit const LabelList kReportAniTransmits = kReportAniTransmitsData;
constinit const LabelList kReportAniDelays = kReportAniDelaysData;
constinit const LabelList kReportDtmfSpeeds = kReportDtmfSpeedsData;
constinit const LabelList kReportCallTimes = kReportCallTimesData;
constinit const LabelList kReportPagingFlags = kReportPagingFlagsData;

}  // namespace ql40::res
