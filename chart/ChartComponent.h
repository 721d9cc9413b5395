#pragma once

#include "chart/CScale.h"
#include "chart/ChartRect.h"
#include "chart/ChartStyle.h"

#include <memory>
#include <span>
#include <vector>

namespace vq {

class Chart;
class ChartCompiledPolygon;
class ChartData;
class ChartLabel;
class GdiObject;
class PenObject;
class BrushObject;
class BitmapObject;
class RegionObject;
using HPEN = PenObject*;
using HBRUSH = BrushObject*;
using HBITMAP = BitmapObject*;
using HRGN = RegionObject*;

// Component type codes.
enum ChartComponentType : int {
    chartComponentType = 53526,
    chartBackgroundType = 53527,
    chartDisplayType = 53528,
    chartTitleType = 53529,
    chartLegendType = 53530,
    chartLabelType = 53531,
    chartLabelBlockType = 53532,
    chartTextPanelType = 53533,
    chartDataWatcherType = 53534,
    chartCompoundComponentType = 53535,
    chartCompoundDisplayType = 53537,
    chartAxisManagerType = 53538,
    chartGridLinesType = 53539,
    chartTickMarksType = 53540,
    chartDecimalScaleType = 53541,
    chartIndexScaleType = 53543,
    chartGroupScaleType = 53544,
    chartDateScaleType = 53545,
};

// Base of every part of a chart that draws itself: a position in one of four units, a style whose
// frame word picks fill, border and shadow, a data window, margins, the fixed drawing sequence
// (background, shadow, border, foreground) and the 16-colour scheme of series pens and brushes.
class ChartComponent : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(ChartComponent)

public:
    // Flags-word bit: the device rectangle was set in pixels and is not recomputed.
    static constexpr u32 kFixedDeviceRect = 0x80;
    static constexpr int kCustomBorderWidth = 6;

    ChartComponent();
    ~ChartComponent() override;
    ChartComponent(const ChartComponent&) = delete;
    ChartComponent& operator=(const ChartComponent&) = delete;

    virtual void DrawCustomBorder() {}
    virtual void DrawCustomShadow() {}
    virtual void SelectColorBrush(int colourWord, int colourCount);
    virtual void SelectColorPen(int colourWord, int width, int colourCount);
    virtual void RefreshText() {}
    // The fields every template line starts with: rectangle, unit, frame kinds and the fill
    // kind's own fields; answers the characters used. Chart error 8 for fewer than eight numbers,
    // 9 for fill fields that do not read or a fill kind the template cannot give.
    virtual int ReadTemplateCommon(std::string_view text);
    virtual std::string WriteTemplateCommon() const;
    // The component's own fields of a template line, after the common ones; answers the
    // characters used. The base has none.
    virtual int ReadTemplate(std::string_view) { return 0; }
    // The whole template line: keyword, common, own and extra fields, then a line end.
    void WriteTemplate(std::string& out) const;
    // The parts of the component's template line after its common fields; none in the base.
    virtual std::string WriteTemplateKeyword() const { return {}; }
    virtual std::string WriteTemplateOwn() const { return {}; }
    virtual std::string WriteTemplateExtra() const { return {}; }
    virtual double GetVerticalMarginPixels() const;
    virtual double GetHorizontalMarginPixels() const;
    virtual double GetSpacingPixels() const;
    virtual void SetParent(Chart* chart);
    virtual void SetPictureName(std::string_view name);
    virtual void SetGradientAngle(int degrees) { m_style.gradientAngle = degrees; }
    virtual void SetFillColors(u32 first, u32 second);
    virtual void SetRect(const ChartRect& rect);
    virtual void SetRectValues(double left, double top, double right, double bottom);
    virtual void SetRectFromRECT(const RECT& r) { m_rect.SetFromRECT(r); }
    virtual const ChartRect& GetRect() const { return m_rect; }
    virtual void SetUnit(int unit);
    virtual void Draw(HDC dc, HWND window);
    // Kind 0 takes the fill or outline kind from the style.
    virtual void FillPolygon(std::span<const POINT> points, const ChartStyle& style, int fillKind);
    virtual void OutlinePolygon(std::span<const POINT> points, const ChartStyle& style, int outlineKind);
    virtual void FrameRegion(HRGN region, const ChartStyle& style, int value, int outlineKind);
    virtual void FillRegion(HRGN region, const ChartStyle& style, int value, int fillKind);
    // Fill kinds 7-15 of either scale are the subclass's own.
    virtual void FillCustom(HRGN, const ChartStyle&, int, int) {}
    // Bitmap resource 21609 as the picture; null when it is missing.
    virtual HBITMAP LoadDefaultPicture();

    // Data drawing for the renderers; each needs the drawing state. A null style draws with the
    // defaults; line kind 0 takes the style's own, a bar kind 0 the style's marker kind x 256.
    virtual void DrawLine(int x1, int y1, int x2, int y2, const ChartStyle* style, int colourWord,
                          int lineKind);
    // Placement of the markers: 0 start, 1 end, 2 both.
    virtual void DrawSegment(int x1, int y1, int x2, int y2, const ChartStyle& style, int placement,
                             ChartData* item);
    virtual void DrawBar(int left, int top, int right, int bottom, int group, int index,
                         const ChartStyle& style, int barKind, ChartData* item);
    virtual void DrawMarker(int x, int y, const ChartStyle& style, ChartData* item);
    virtual void DrawSimpleMarker(int x, int y, const ChartStyle& style, ChartData* item);
    // End 1 is the start of a line, 2 its end; the angle in degrees turns the shape.
    virtual void DrawLineEnd(int x, int y, const ChartStyle& style, int end, double angle);
    // The item's value or text in the component's label, placed by the item's label position and
    // drawn now or handed to the chart by the chart's label handling.
    virtual void DrawDataLabel(int x, int y, ChartData* item);
    // Marker kinds the base does not know.
    virtual void DrawCustomSegment(int, int, const ChartStyle&, ChartData*) {}
    std::vector<std::unique_ptr<ChartCompiledPolygon>>& GetShapeList() { return m_shapes; }
    virtual void InvalidateArea(HWND window);
    virtual void SetAnnotationIndex(int index);
    virtual int GetAnnotationIndex() const;
    virtual SIZE GetPointsExtent(std::span<const POINT> points) const;
    virtual void EndDraw() { m_drawing = 0; }
    virtual void BeginDraw(HDC dc, HWND window);
    virtual int IsDrawing() const { return m_drawing; }
    virtual int GetCustomBorderWidth() const { return kCustomBorderWidth; }
    virtual RECT GetInteriorRect(const RECT& device) const;
    virtual double GetDeviceRatioY(HDC dc) const;
    virtual double GetDeviceRatioX(HDC dc) const;
    virtual bool InDataWindow(int index, int group) const;
    virtual HPEN GetCustomPen();
    // Lowest index, highest index, lowest group, highest group; -1 is no limit.
    virtual void GetDataWindow(int& lowIndex, int& highIndex, int& lowGroup, int& highGroup) const;
    virtual void SetDataWindow(int lowIndex, int highIndex, int lowGroup, int highGroup);
    virtual void SetDataWindowAlt(int lowIndex, int highIndex, int lowGroup, int highGroup) {
        SetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    }
    virtual void SetMeasureDefaults();
    virtual CScale GetComponentRange() const;
    // The value range a holder hands the component (an axis manager its auxiliary); not stored.
    virtual void SetSecondRange(const CScale& range) { m_secondRange = range; }
    const CScale& GetSecondRange() const { return m_secondRange; }
    // The class version a loaded component was stored with when it stored one (a range marked
    // empty whose minimum exceeds its maximum holds it), else -1.
    int GetRangeHint() const;
    // Each coordinate + 0.5, truncated toward zero.
    virtual POINT RotatePoint(int x, int y, double angle, bool radians) const;
    virtual void InvertLineStyle(ChartStyle& style) const;
    virtual void SetExplicitMarkerSize(ChartStyle& style) const;
    virtual void HighlightLineStyle(ChartStyle& style) const;
    virtual void DrawBackground();
    virtual void DrawBorder();
    virtual void DrawForeground() {}
    virtual void DrawShadow();
    // 1 for components that hold others.
    virtual int IsCompound() const { return 0; }

    // Paints the rectangle (right and bottom inclusive) in the fill kind, clipped to the region when
    // there is one; an all-zero rectangle then stands for the region's box.
    void FillArea(HRGN region, const ChartStyle& style, int value, int fillKind, RECT rect);
    // The fill kind scaled as the engine works on it: component styles by 256, others by 16.
    static int FillKindOf(const ChartStyle& style);
    static int OutlineKindOf(const ChartStyle& style);
    HBITMAP GetPicture() const { return m_picture.get(); }

    // The width of a border kind's lines in pixels.
    int GetBorderWidth() const;
    // The shadow's depth for kinds 1-3, else 0.
    int GetShadowDepth() const;
    void SetDrawFlag(int flag) { m_drawFlag = flag; }
    int GetDrawFlag() const { return m_drawFlag; }
    void SetInvalid(int invalid) { m_invalid = invalid; }
    int IsInvalid() const { return m_invalid; }
    int GetTypeCode() const { return m_typeCode; }
    ChartStyle& GetStyle() { return m_style; }
    const ChartStyle& GetStyle() const { return m_style; }
    const std::string& GetName() const { return m_style.name; }
    Chart* GetChart() const { return m_chart; }
    void SetColourIndex(int index) { m_colourIndex = index; }
    HBRUSH GetColourBrush() const { return m_brush; }
    HPEN GetColourPen() const { return m_colourPen; }
    double GetSpacing() const { return m_spacing; }
    double GetVerticalMargin() const { return m_verticalMargin; }
    double GetHorizontalMargin() const { return m_horizontalMargin; }
    void SetMargins(double spacing, double vertical, double horizontal) {
        m_spacing = spacing, m_verticalMargin = vertical, m_horizontalMargin = horizontal;
    }
    HDC GetDrawingDC() const { return m_dc; }
    HWND GetDrawingWindow() const { return m_window; }
    // The position in device pixels of the context being drawn.
    RECT GetDeviceRect() const { return m_rect.GetDeviceRect(m_dc, m_window); }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    explicit ChartComponent(int typeCode);
    void SetDrawing(HDC dc, HWND window, int drawing) { m_dc = dc, m_window = window, m_drawing = drawing; }
    int ScreenDpiX() const;
    int ScreenDpiY() const;
    // Registers the face for feedback, fills it, shades it under the shaded-faces flag with the
    // bitmap's pattern in the raster mode, and outlines it.
    void DrawFace(std::span<const POINT> face, int group, int index, const ChartStyle& style, int outlineKind,
                  unsigned shading, int rop2);

private:
    void DrawBevel(RECT r, int depth, HPEN upper, HPEN lower);
    void DrawEtched(RECT r, int depth);
    double MarginPixels(double value, int dpi, int extent) const;
    void FillWithBrush(HBRUSH brush, const RECT& r);
    void FillSolid(COLORREF colour, const RECT& r);
    void FillLinearGradient(const ChartStyle& style, const RECT& r, bool vertical);
    void FillAngledGradient(const ChartStyle& style, const RECT& r);
    void DrawBitmap(HBITMAP bitmap, const ChartStyle& style, const RECT& r);
    HBITMAP LoadPictureFile(const ChartStyle& style);
    void DrawShape(std::span<const POINT> points, int group, int index, const ChartStyle& style,
                   int outlineKind);
    int ExplicitSecondSize() const;
    // Hands the data label to the chart's one label block, made on first use.
    void CollectInBlock(u32 position);

    int m_brushKey = -1;
    int m_penKey = -1;
    int m_penWidthKey = 0;
    int m_drawFlag = 0;
    int m_invalid = 1;
    int m_annotationIndex = 1;
    int m_spare = 0;
    int m_highIndex = -1;
    int m_lowIndex = -1;
    int m_highGroup = -1;
    int m_lowGroup = -1;
    CScale m_firstRange;
    CScale m_secondRange;
    double m_spacing = 5;
    double m_verticalMargin = 5;
    double m_horizontalMargin = 5;
    HBRUSH m_brush = nullptr;
    ChartRect m_rect;
    int m_colourIndex = 0;
    ChartStyle m_style{ChartStyle::levelComponent};
    int m_drawing = 0;
    HWND m_window = 0;
    HDC m_dc = nullptr;
    Chart* m_chart = nullptr;
    int m_typeCode = chartComponentType;
    mutable int m_screenDpiX = 0;
    mutable int m_screenDpiY = 0;
    HPEN m_colourPen = nullptr;
    std::unique_ptr<BitmapObject, void (*)(BitmapObject*)> m_picture{nullptr, &DeletePicture};
    std::vector<std::unique_ptr<ChartCompiledPolygon>> m_shapes;
    std::unique_ptr<ChartLabel> m_dataLabel;
    static void DeletePicture(BitmapObject* picture);
};

// The 16 colours of the colour-word scheme.
u32 ChartSeriesColour(int colourWord);

} // namespace vq
