#pragma once

#include "chart/ChartAnnotation.h"
#include "chart/ChartTitle.h"

#include <vector>

namespace vq {

// One short text at an anchor point, in any rotation, inside a box, ellipse or flash outline
// that is filled, bevelled and shadowed like any component.
class ChartLabel : public ChartTitle {
    VQ_DECLARE_RUNTIME_CLASS(ChartLabel)

public:
    // Which point of the unrotated text box lies on the anchor.
    enum Anchor : int {
        anchorLeftMiddle,
        anchorTopLeft,
        anchorTopMiddle,
        anchorTopRight,
        anchorRightMiddle,
        anchorBottomRight,
        anchorBottomMiddle,
        anchorBottomLeft,
        anchorCentre
    };

    ChartLabel();

    void RefreshText() override {}
    void Draw(HDC dc, HWND window) override;
    void DrawBackground() override;
    void DrawBorder() override;
    void DrawForeground() override;
    void DrawShadow() override;
    void BuildFont() override;
    int GetAutoFontSize() override { return GetFontSize(); }

    virtual int GetDefaultFontSize() const { return 12; }
    // Rotation, anchor, colours, shape and font size from a data item's style.
    virtual void ApplyDataStyle(const ChartStyle& style);
    virtual void SetPosition(double x, double y);
    virtual void SetCurrentText(std::string_view text);
    virtual void SetAnnotationText(int index, std::string_view text) { m_texts.SetText(index, text); }
    virtual std::string GetAnnotationText(int index) const { return m_texts.GetText(index); }
    virtual POINT GetAnchor();
    virtual POINT GetTextOrigin();
    virtual void ComputeOutline();

    void SetAnchorCode(int code) { m_anchor = code; }
    int GetAnchorCode() const { return m_anchor; }
    void SetAngle(double degrees) { GetStyle().spare2 = degrees; }
    double GetAngle() const { return GetStyle().spare2; }
    void SetDirectionVector(double x, double y) { m_directionX = x, m_directionY = y; }
    double GetDirectionX() const { return m_directionX; }
    double GetDirectionY() const { return m_directionY; }
    double GetX() const { return m_x; }
    double GetY() const { return m_y; }
    const std::vector<POINT>& GetOutline() const { return m_outline; }
    std::string GetCurrentText() const;

private:
    SIZE TextExtent();

    double m_y = 0;
    double m_x = 0;
    double m_directionX = 1;
    double m_directionY = 0;
    int m_anchor = anchorTopLeft;
    POINT m_anchorPixel{};
    ChartAnnotationList m_texts;
    std::vector<POINT> m_outline;
};

} // namespace vq
