#include "chart/ChartStyle.h"

namespace vq {

// The archived field order differs from the declaration order; stored charts depend on it.
void ChartStyle::Store(ArchiveWriter& archive) const {
    archive.WriteUInt32(styleWord);
    archive.WriteUInt32(flagsWord);
    archive.WriteUInt32(extraWord);
    archive.WriteUInt32(frameWord);
    archive.WriteUInt32(fillColour);
    archive.WriteUInt32(secondFillColour);
    archive.WriteUInt32(lineColour);
    archive.WriteDouble(gradientAngle);
    archive.WriteDouble(secondSize);
    archive.WriteDouble(firstSize);
    archive.WriteDouble(thirdSize);
    archive.WriteInt32(penWidth);
    archive.WriteText(pictureName);
    archive.WriteText(name);
    archive.WriteUInt32(labelWord);
    archive.WriteUInt32(secondaryColour);
    archive.WriteDouble(tilt);
    archive.WriteDouble(spare1);
    archive.WriteDouble(spare2);
}

void ChartStyle::Load(ArchiveReader& archive) {
    styleWord = archive.ReadUInt32();
    flagsWord = archive.ReadUInt32();
    extraWord = archive.ReadUInt32();
    frameWord = archive.ReadUInt32();
    fillColour = archive.ReadUInt32();
    secondFillColour = archive.ReadUInt32();
    lineColour = archive.ReadUInt32();
    gradientAngle = archive.ReadDouble();
    secondSize = archive.ReadDouble();
    firstSize = archive.ReadDouble();
    thirdSize = archive.ReadDouble();
    penWidth = archive.ReadInt32();
    pictureName = archive.ReadText();
    name = archive.ReadText();
    labelWord = archive.ReadUInt32();
    secondaryColour = archive.ReadUInt32();
    tilt = archive.ReadDouble();
    spare1 = archive.ReadDouble();
    spare2 = archive.ReadDouble();
}

} // namespace vq
