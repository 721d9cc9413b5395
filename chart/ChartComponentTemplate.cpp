#include "chart/ChartComponent.h"

#include "chart/ChartException.h"
#include "chart/ChartTemplateScanner.h"
#include "platform/gui/Gdi.h"

#include <cstdio>
#include <string>

namespace vq {
namespace {

constexpr int kErrorCommonNumbers = 8;
constexpr int kErrorFillFields = 9;
constexpr u32 kStretchPicture = 1u << 31;
// A template line holds at most this many characters, so no name read from one is longer.
constexpr std::size_t kLongestLine = 254;

enum FillKind : int { fillNone, fillSolid, fillHatch, fillTwoColours, fillGradient, fillPicture, fillCount };

bool ReadColour(ChartTemplateScanner& scan, u32& colour) {
    int r = 0, g = 0, b = 0;
    if (!scan.ReadInt(r) || !scan.ReadInt(g) || !scan.ReadInt(b)) return false;
    colour = RGB(r & 0xFF, g & 0xFF, b & 0xFF);
    return true;
}

std::string ColourFields(u32 colour) {
    return std::to_string(GetRValue(colour)) + " " + std::to_string(GetGValue(colour)) + " " +
           std::to_string(GetBValue(colour)) + " ";
}

} // namespace

int ChartComponent::ReadTemplateCommon(std::string_view text) {
    ChartTemplateScanner scan(text);
    double left = 0, top = 0, right = 0, bottom = 0;
    int unit = 0, border = 0, fill = 0, shadow = 0;
    if (!scan.ReadFloat(left) || !scan.ReadFloat(top) || !scan.ReadFloat(right) || !scan.ReadFloat(bottom) ||
        !scan.ReadInt(unit) || !scan.ReadInt(border) || !scan.ReadInt(fill) || !scan.ReadInt(shadow))
        RaiseChartError(kErrorCommonNumbers);
    if (fill < fillNone || fill >= fillCount) RaiseChartError(kErrorFillFields);
    u32 first = 0, second = 0;
    int angle = 0;
    std::string picture;
    int stretch = 0;
    bool stretchGiven = false;
    bool read = true;
    switch (fill) {
    case fillSolid:
        read = ReadColour(scan, first);
        break;
    case fillHatch:
    case fillTwoColours:
        read = ReadColour(scan, first) && ReadColour(scan, second);
        break;
    case fillGradient:
        read = ReadColour(scan, first) && ReadColour(scan, second) && scan.ReadInt(angle);
        break;
    case fillPicture:
        // A name ends at its closing quote; any other character leaves the quote unmatched.
        read = scan.ReadQuoted(picture, kLongestLine) && text[scan.Used() - 1] == '"';
        stretchGiven = read && scan.ReadInt(stretch);
        break;
    default:
        break;
    }
    if (!read) RaiseChartError(kErrorFillFields);

    SetRectValues(left, top, right, bottom);
    SetUnit(unit);
    m_style.frameWord = (static_cast<u32>(fill) << 8) | ((static_cast<u32>(shadow) & 0xF) << 4) |
                        (static_cast<u32>(border) & 0xF);
    SetFillColors(first, second);
    SetGradientAngle(angle);
    SetPictureName(picture);
    // A written template marks a stretched picture with 1; an older one may leave the number out.
    if (!stretchGiven || stretch != 0) m_style.frameWord |= kStretchPicture;
    return static_cast<int>(scan.Used());
}

std::string ChartComponent::WriteTemplateCommon() const {
    char numbers[160];
    const ChartStyle& style = m_style;
    std::snprintf(numbers, sizeof numbers, "%g %g %g %g %d %d %d %d ", m_rect.Left(), m_rect.Top(),
                  m_rect.Right(), m_rect.Bottom(), m_rect.GetUnit(), static_cast<int>(style.GetBorderKind()),
                  static_cast<int>(style.GetFillKind()), static_cast<int>(style.GetShadowKind()));
    std::string text = numbers;
    switch (static_cast<int>(style.GetFillKind())) {
    case fillSolid:
        text += ColourFields(style.fillColour);
        break;
    case fillHatch:
    case fillTwoColours:
        text += ColourFields(style.fillColour) + ColourFields(style.secondFillColour);
        break;
    case fillGradient:
        std::snprintf(numbers, sizeof numbers, "%g ", style.gradientAngle);
        text += ColourFields(style.fillColour) + ColourFields(style.secondFillColour) + numbers;
        break;
    case fillPicture:
        text += "\"" + style.pictureName + "\" " + ((style.frameWord & kStretchPicture) ? "1 " : "0 ");
        break;
    default:
        break;
    }
    return text;
}

void ChartComponent::WriteTemplate(std::string& out) const {
    out += WriteTemplateKeyword();
    out += WriteTemplateCommon();
    out += WriteTemplateOwn();
    out += WriteTemplateExtra();
    out += "\n";
}

} // namespace vq
