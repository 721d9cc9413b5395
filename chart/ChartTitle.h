#pragma once

#include "chart/ChartComponent.h"
#include "platform/gui/GdiObject.h"

#include <string>

namespace vq {

// One line of text in a rectangle, by default the chart's title; it carries the text colour and
// font description every text-bearing component inherits.
class ChartTitle : public ChartComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartTitle)

public:
    enum Alignment : int { alignLeft = 0, alignRight = 1, alignCentre = 2 };
    // Font flags.
    enum : int { fontBold = 1, fontItalic = 2, fontUnderline = 4, fontStrikeOut = 8, fontAutoSize = 0x10 };
    static constexpr std::size_t kMaxFaceBytes = 30;

    ChartTitle();
    ~ChartTitle() override;

    void RefreshText() override;
    void DrawForeground() override;
    // The title group: colour, face, font size, flags and alignment; chart error 10 when fewer
    // than seven values are present. Answers the characters used.
    int ReadTemplate(std::string_view text) override;
    std::string WriteTemplateKeyword() const override { return "title "; }
    std::string WriteTemplateOwn() const override;

    virtual void BuildFont();
    // Minus nine tenths of the rectangle's height in pixels, truncated.
    virtual int GetAutoFontSize();
    virtual void SetFontDirty(int dirty) { m_fontDirty = dirty; }
    // The widest line and the lines' heights summed, in the selected font.
    virtual SIZE MeasureText(std::string_view text);
    virtual COLORREF GetColor() const { return m_colour; }
    virtual void SetFaceName(std::string_view face);
    virtual std::string GetFaceName() const { return m_face; }
    // Sizes of 0 and above are points, below 0 pixel heights.
    virtual void SetFont(int size, int flags, std::string_view face);
    // An empty text is kept as one blank.
    virtual void SetText(std::string_view text, int alignment);
    virtual void SetColor(COLORREF colour) { m_colour = colour; }

    const std::string& GetText() const { return m_text; }
    HFONT GetFont() const { return m_font; }
    int GetFontSize() const { return m_fontSize; }
    int GetFontFlags() const { return m_fontFlags; }
    int IsFontDirty() const { return m_fontDirty; }
    int GetAlignment() const { return m_alignment; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

    // The colour, face, size, flags and alignment group that the title reader takes.
    static std::string FontGroup(COLORREF colour, std::string_view face, int size, int flags, int last);

protected:
    explicit ChartTitle(int typeCode);
    // The font description with this height and escapement, in tenths of a degree.
    LOGFONT DescribeFont(int size, int escapement) const;
    void ReplaceFont(HFONT font);

private:
    int m_alignment = alignCentre;
    std::string m_text;
    HFONT m_font = nullptr;
    COLORREF m_colour = 0;
    int m_fontDirty = 1;
    int m_fontSize = 10;
    int m_fontFlags = 0;
    std::string m_face = "Arial";
};

} // namespace vq
