#pragma once

#include "chart/ChartAnnotation.h"
#include "chart/ChartTitle.h"

namespace vq {

// A boxed block of word-wrapped body text with an optional heading on one of its four sides; a
// left or right heading runs along the edge, and the panel can grow to fit its text.
class ChartTextPanel : public ChartTitle {
    VQ_DECLARE_RUNTIME_CLASS(ChartTextPanel)

public:
    enum TitlePosition : int { titleTop = 0, titleLeft = 1, titleRight = 2, titleBottom = 3 };

    ChartTextPanel();
    // The "datawatcher" kind of panel reports its own type code.
    explicit ChartTextPanel(int typeCode);
    ~ChartTextPanel() override;

    // A panel does not take the chart's title.
    void RefreshText() override {}
    // Written as "textpanel " also when made as "datawatcher".
    std::string WriteTemplateKeyword() const override { return "textpanel "; }
    // The body's font group, then the heading's.
    std::string WriteTemplateOwn() const override;
    void Draw(HDC dc, HWND window) override;
    CScale GetComponentRange() const override;
    void DrawBackground() override;
    void DrawForeground() override;
    // A fifth of the panel's height, as a pixel height.
    int GetAutoFontSize() override;

    virtual std::string GetTitleText(int index) const { return m_titleTexts.GetText(index); }
    virtual void SetTitlePosition(int position) { m_titlePosition = position; }
    virtual int GetTitlePosition() const { return m_titlePosition; }
    virtual void SetTitleColor(COLORREF colour) { m_titleColour = colour; }
    virtual void SetBodyColor(COLORREF colour) { m_bodyColour = colour; }
    virtual COLORREF GetTitleColor() const { return m_titleColour; }
    virtual COLORREF GetBodyColor() const { return m_bodyColour; }
    virtual ChartStyle& GetTitleStyle() { return m_titleStyle; }
    virtual void CreateTitleFont();
    // The heading's box from its text, before margins.
    virtual RECT MeasureTitle();
    virtual void SetBodyText(std::string_view text, int index) { m_bodyTexts.SetText(index, text); }
    virtual std::string GetBodyText(int index) const { return m_bodyTexts.GetText(index); }
    virtual void SetTitleText(std::string_view text, int index) { m_titleTexts.SetText(index, text); }
    virtual void SetBodyFontSize(int size) { m_bodySize = size; }
    virtual int GetBodyFontSize() const { return m_bodySize; }
    virtual void SetTitleFontSize(int size) { m_titleSize = size; }
    virtual int GetTitleFontSize() const { return m_titleSize; }
    virtual void SetBodyFontFlags(int flags) { m_bodyFlags = flags; }
    virtual int GetBodyFontFlags() const { return m_bodyFlags; }
    virtual void SetTitleFontFlags(int flags) { m_titleFlags = flags; }
    virtual int GetTitleFontFlags() const { return m_titleFlags; }
    virtual void SetBodyFace(std::string_view face);
    virtual std::string GetBodyFace() const { return m_bodyFace; }
    virtual void SetTitleFace(std::string_view face);
    virtual std::string GetTitleFace() const { return m_titleFace; }
    virtual int IsTitleShown() const { return m_titleShown; }
    virtual void ShowTitle(int shown) { m_titleShown = shown; }
    virtual void SetFitToText(int fit) { m_fitToText = fit; }
    virtual int GetFitToText() const { return m_fitToText; }
    virtual void SetTitleExtra(int extra) { m_titleExtra = extra; }
    virtual int GetTitleExtra() const { return m_titleExtra; }
    virtual void SetBodyExtra(int extra) { m_bodyExtra = extra; }
    virtual int GetBodyExtra() const { return m_bodyExtra; }

    RECT GetPanelRect() const { return m_panel; }
    RECT GetTitleRect() const { return m_titleRect; }
    RECT GetTextRect() const { return m_textRect; }
    HFONT GetTitleFont() const { return m_titleFont; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    void Layout();
    void DrawTexts();

    int m_titlePosition = titleTop;
    int m_bodyExtra = 0;
    int m_titleExtra = 0;
    RECT m_panel{};
    RECT m_titleExtent{};
    ChartStyle m_titleStyle{ChartStyle::levelComponent};
    RECT m_titleRect{};
    int m_layoutPass = 0;
    COLORREF m_bodyColour = 0;
    COLORREF m_titleColour = 0;
    int m_titleEscapement = 0;
    HFONT m_titleFont = nullptr;
    ChartAnnotationList m_titleTexts;
    ChartAnnotationList m_bodyTexts;
    RECT m_textRect{};
    int m_titleShown = 1;
    int m_fitToText = 1;
    int m_titleSize = 10;
    int m_bodySize = 10;
    int m_titleFlags = 0;
    int m_bodyFlags = 0;
    std::string m_titleFace = "Arial";
    std::string m_bodyFace = "Arial";
};

} // namespace vq
