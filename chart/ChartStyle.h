#pragma once

#include "platform/core/ObjectArchive.h"

#include <string>

namespace vq {

// The looks of a chart, group, item or component: style, flags, extra, frame and label words
// with colours, sizes and names. Every field is copied with the style.
struct ChartStyle {
    // Owner levels in the low bits of the label word.
    enum Level : u32 { levelComponent = 1, levelData = 2, levelChart = 3 };
    // Flags word bits.
    static constexpr u32 kHiddenGroup = 1u << 22;
    static constexpr u32 kExplicitSizes = 1u << 30;

    ChartStyle() = default;
    explicit ChartStyle(Level level) { SetLevel(level); }

    void SetLevel(u32 level) { labelWord = (labelWord & ~0xFu) | (level & 0xF); }
    u32 GetLevel() const { return labelWord & 0xF; }
    // Bits 28-29 of the chart's default style: how data labels are placed.
    u32 GetLabelHandling() const { return (labelWord >> 28) & 3; }
    u32 GetBorderKind() const { return frameWord & 0xF; }
    u32 GetShadowKind() const { return (frameWord >> 4) & 0xF; }
    u32 GetFillKind() const { return (frameWord >> 8) & 0xF; }

    // The second text is not archived: a reloaded style has none.
    void Store(ArchiveWriter& archive) const;
    void Load(ArchiveReader& archive);

    bool operator==(const ChartStyle&) const = default;

    u32 labelWord = 0x1010;
    u32 secondaryColour = 0x808000;
    u32 extraWord = 0;
    double firstSize = 10'000'000;
    double secondSize = 10'000'000;
    double thirdSize = 10'000'000;
    std::string name;
    u32 styleWord = 0x112;
    u32 flagsWord = 0;
    u32 frameWord = 0x100;
    u32 lineColour = 0;
    std::string secondText;
    i32 penWidth = 1;
    u32 fillColour = 0xFFFFFF;
    u32 secondFillColour = 0;
    double gradientAngle = 0;
    std::string pictureName;
    double tilt = 30;
    double spare1 = 0;
    double spare2 = 0;
};

} // namespace vq
