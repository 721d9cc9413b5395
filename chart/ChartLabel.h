#pragma once

#include "chart/ChartAnnotation.h"
#include "chart/ChartTitle.h"

#include <vector>

namespace vq {

class ChartLabelBlock;

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
    // The spacing value as it stands, not converted by the unit mode.
    double GetSpacingPixels() const override { return GetSpacing(); }
    int IsDrawing() const override;
    // After the title group: x, y, direction, angle, anchor code and the in-block value, applied
    // only when all seven are present (the in-block value never is: only a block takes a label).
    int ReadTemplate(std::string_view text) override;
    std::string WriteTemplateKeyword() const override { return "label "; }
    // The numbers, then one "annotation" line per text.
    std::string WriteTemplateExtra() const override;
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
    virtual void FreeOutline() { m_outline.clear(); }
    // 0 up, 1 left, 2 right, 3 down; other codes keep the vector and clear the preset flag.
    virtual void SetDirection(int code);
    // 0-3 turn the label by 0, 90, 180 or 270 degrees; other codes keep the angle.
    virtual void SetRotationPreset(int code);
    virtual void SetX(double x);
    virtual void SetY(double y);
    // The bounding box of the outline's first five points.
    virtual SIZE GetOutlineSize() const;
    // The outline's first five points as a region the caller owns; null without an outline.
    virtual HRGN CreateOutlineRegion() const;
    // Own, or the block's for a member drawn in the block's style.
    virtual HFONT GetLabelFont() const;
    virtual COLORREF GetLabelColor() const;
    // Sets the direction to the angle's cosine and sine; only the four right angles are presets.
    void SetDirectionAngle(double degrees);
    // Moves the outline, the anchor and the position by whole pixels.
    void MoveBy(int dx, int dy);
    // Called by the block that takes the label; null releases it.
    void SetOwner(ChartLabelBlock* block, int ownStyle);
    ChartLabelBlock* GetOwner() const { return m_owner; }
    int IsInBlock() const { return m_inBlock; }
    int HasOwnStyle() const { return m_ownStyle; }
    int IsDirectionSet() const { return m_directionSet; }
    int IsRotationPreset() const { return m_rotationPreset; }
    const ChartAnnotationList& GetTexts() const { return m_texts; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

    void SetAnchorCode(int code) { m_anchor = code; }
    int GetAnchorCode() const { return m_anchor; }
    void SetAngle(double degrees) { GetStyle().spare2 = degrees, m_rotationPreset = 0; }
    double GetAngle() const { return GetStyle().spare2; }
    // Any vector; the preset flag is cleared.
    void SetDirectionVector(double x, double y) { m_directionX = x, m_directionY = y, m_directionSet = 0; }
    double GetDirectionX() const { return m_directionX; }
    double GetDirectionY() const { return m_directionY; }
    double GetX() const { return m_x; }
    double GetY() const { return m_y; }
    const std::vector<POINT>& GetOutline() const { return m_outline; }
    std::string GetCurrentText() const;

protected:
    explicit ChartLabel(int typeCode);

private:
    SIZE TextExtent();

    double m_y = 0;
    double m_x = 0;
    int m_directionSet = 1;
    int m_rotationPreset = 1;
    int m_spare = 0;
    double m_directionX = 1;
    double m_directionY = 0;
    int m_anchor = anchorTopLeft;
    ChartLabelBlock* m_owner = nullptr;
    int m_inBlock = 0;
    int m_ownStyle = 1;
    POINT m_anchorPixel{};
    ChartAnnotationList m_texts;
    std::vector<POINT> m_outline;
};

} // namespace vq
