#pragma once
// What the lines of a language file caption. The main window's language
// switch sets its controls by these lines and vrk-cli takes its texts by
// them, so the two say the same thing in the same words.
#include "protocol/relaymap.h"

#include <array>

namespace languages {

namespace line {
constexpr int kFrameFirst = 17;        // 17-22: the data page's frames, in the order of kFrames
constexpr int kLampHeading = 23;       // above the fault lamps
constexpr int kResetButton = 29;       // the fault reset
constexpr int kPortBusy = 30;          // "the port is busy"
constexpr int kErrorHeading = 31;      // the error window's heading
constexpr int kNoConnection = 32;      // "no connection with the relay"
constexpr int kSetpointNameFirst = 33; // 33-46: the setpoint names, rows 0-13
constexpr int kDateHint = 47;          // the hint of the date row
constexpr int kTimeHint = 48;          // the hint of the time row
constexpr int kFaultColumnFirst = 64;  // 64-66: the fault log's column headings
constexpr int kAverageVoltage = 89;    // "Uśr="
constexpr int kAverageCurrent = 90;    // "Iśr="
} // namespace line

// The data page's frames, captioned by lines 17-22 in this order.
inline constexpr std::array<const char*, 6> kFrames = {"GroupBox1", "GroupBox3", "GroupBox4",
                                                       "GroupBox5", "GroupBox7", "GroupBox2"};

// The caption of the data page's lamp for bit b of the fault word (the
// label Label32 + b): the line that sets it, or 0 and the fixed text of a
// lamp no line captions.
struct LampCaption {
    int line;
    const char* fixed;
};
inline constexpr std::array<LampCaption, 7> kLampCaptions = {
    {{24, ""}, {25, ""}, {26, ""}, {27, ""}, {0, "U<85%Un"}, {0, "U>115%Un"}, {28, ""}}};
constexpr int lampLabel(int bit) {
    return 32 + bit;
}

// The texts of the hidden page that lines set: count labels from the first,
// taken by count lines from line.
struct HiddenLines {
    HiddenText first;
    int count;
    int line;
};
inline constexpr std::array<HiddenLines, 7> kHiddenLines = {{
    {HiddenText::PortBusy, 1, line::kPortBusy},
    {HiddenText::ErrorHeadingCopy, 1, line::kErrorHeading},
    {HiddenText::NoConnection, 1, line::kNoConnection},
    {HiddenText::RecorderPause, 1, 52},
    {HiddenText::RecorderStart, 1, 53},
    {HiddenText::AxisTitleFirst, 8, 56}, // 70-77: the axis titles, the power's last
    {HiddenText::CauseFirst, 22, 67},    // 78-99: causes, the refusal's start, row 0's names, months
}};

// The line that sets the offset-th hidden text of a series; 0 when no line does.
constexpr int hiddenTextLine(HiddenText first, int offset = 0) {
    const int label = hiddenTextNumber(first, offset);
    for (const HiddenLines& h : kHiddenLines)
        if (label >= int(h.first) && label < int(h.first) + h.count) return h.line + label - int(h.first);
    return 0;
}
// The hidden label a line sets; 0 when it sets none.
constexpr int hiddenLabelOfLine(int line) {
    for (const HiddenLines& h : kHiddenLines)
        if (line >= h.line && line < h.line + h.count) return int(h.first) + line - h.line;
    return 0;
}

} // namespace languages
