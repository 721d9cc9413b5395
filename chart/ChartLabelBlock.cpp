#include "chart/ChartLabelBlock.h"

#include "chart/Chart.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/GdiHandle.h"

#include <algorithm>
#include <cmath>

namespace vq {
namespace {

constexpr int kCannotPushError = 17;
constexpr int kMaxPushMultiple = 10;

// The bounds of the outline's first five points joined to the block's; a block that has drawn
// nothing yet has none.
void Grow(RECT& bounds, bool& any, const std::vector<POINT>& outline) {
    const std::size_t count = std::min<std::size_t>(5, outline.size());
    for (std::size_t i = 0; i < count; ++i) {
        const POINT p = outline[i];
        if (!any) {
            bounds = {p.x, p.y, p.x, p.y};
            any = true;
            continue;
        }
        bounds.left = std::min(bounds.left, p.x), bounds.right = std::max(bounds.right, p.x);
        bounds.top = std::min(bounds.top, p.y), bounds.bottom = std::max(bounds.bottom, p.y);
    }
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartLabelBlock, ChartLabel)

ChartLabelBlock::ChartLabelBlock() : ChartLabelBlock(chartLabelBlockType) {}

ChartLabelBlock::ChartLabelBlock(int typeCode) : ChartLabel(typeCode) {
    GetStyle().labelWord = (GetStyle().labelWord & ~0xF0u) | (kDropMode << 4);
}

ChartLabelBlock::~ChartLabelBlock() = default;

void ChartLabelBlock::SetParent(Chart* chart) {
    ChartLabel::SetParent(chart);
    for (auto& label : m_labels) {
        label->SetParent(chart);
        label->SetOwner(this, label->HasOwnStyle());
    }
}

void ChartLabelBlock::RemoveLastLabel() {
    if (!m_labels.empty()) m_labels.pop_back();
}

ChartLabel* ChartLabelBlock::GetLabel(int position) {
    if (m_labels.empty()) return nullptr;
    if (position == -1) return m_labels.front().get();
    if (position == -2) return m_labels.back().get();
    if (position < 0 || position >= GetLabelCount()) return nullptr;
    return m_labels[static_cast<std::size_t>(position)].get();
}

ChartLabel& ChartLabelBlock::AddLabel(std::string_view text) {
    auto label = std::make_unique<ChartLabel>();
    label->SetParent(GetChart());
    label->SetOwner(this, 0);
    label->SetCurrentText(text);
    m_labels.push_back(std::move(label));
    return *m_labels.back();
}

void ChartLabelBlock::AttachLabel(std::unique_ptr<ChartLabel> label, int ownStyle) {
    if (!label) return;
    label->SetOwner(this, ownStyle);
    label->SetParent(GetChart());
    m_labels.push_back(std::move(label));
}

void ChartLabelBlock::SetLabelText(std::string_view text, int position, int index) {
    if (position < 0) return;
    if (position < GetLabelCount()) {
        m_labels[static_cast<std::size_t>(position)]->SetAnnotationText(index, text);
        return;
    }
    while (GetLabelCount() < position) {
        auto empty = std::make_unique<ChartLabel>();
        empty->SetParent(GetChart());
        empty->SetOwner(this, 0);
        m_labels.push_back(std::move(empty));
    }
    AddLabel(text);
}

void ChartLabelBlock::SetAnchorAll(int code) {
    for (auto& label : m_labels)
        label->SetAnchorCode(code);
}

void ChartLabelBlock::SetRotationAll(double degrees) {
    // Angles come from templates and archives: one that is not finite leaves the rotations alone.
    if (!std::isfinite(degrees)) return;
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    if (a >= 360) a = 0;
    const bool preset = a == 0 || a == 90 || a == 180 || a == 270;
    for (auto& label : m_labels) {
        if (preset)
            label->SetRotationPreset(static_cast<int>(a / 90));
        else
            label->SetAngle(a);
    }
}

void ChartLabelBlock::SetDirectionAll(double dx, double dy) {
    for (auto& label : m_labels)
        label->SetDirectionVector(dx, dy);
}

void ChartLabelBlock::DistributeLabels(int x1, int y1, int x2, int y2) {
    const int n = GetLabelCount();
    const int d = n < 2 ? 1 : n - 1;
    const double sx = static_cast<double>(x2 - x1) / d, sy = static_cast<double>(y2 - y1) / d;
    int i = n == 1 ? 1 : 0;
    for (auto& label : m_labels) {
        label->SetPosition(x1 + TruncToInt(i * sx), y1 + TruncToInt(i * sy));
        ++i;
    }
    UpdateAnchors();
}

void ChartLabelBlock::RecordAnchors(int dx, int dy) {
    if (!m_recordAnchors) return;
    std::vector<POINT>& list = m_anchors ? *m_anchors : m_ownAnchors;
    list.clear();
    for (auto& label : m_labels) {
        const POINT a = label->GetAnchor();
        list.push_back({a.x + dx, a.y + dy});
    }
}

bool ChartLabelBlock::PushClear(ChartLabel& label, HRGN occupied) {
    GdiHandle<RegionObject> region(label.CreateOutlineRegion());
    if (!region) return false;
    GdiHandle<RegionObject> overlap(CreateRectRgn(0, 0, 0, 0));
    bool moved = false;
    while (CombineRgn(overlap.get(), region.get(), occupied, RGN_AND) > NULLREGION) {
        RECT box{};
        GetRgnBox(overlap.get(), &box);
        const double w = box.right - box.left, h = box.bottom - box.top;
        int ox = 0, oy = 0;
        for (int m = 1; m <= kMaxPushMultiple && ox == 0 && oy == 0; ++m) {
            ox = TruncToInt(w * label.GetDirectionX() * m);
            oy = TruncToInt(h * label.GetDirectionY() * m);
        }
        if (ox == 0 && oy == 0) RaiseChartError(kCannotPushError);
        label.MoveBy(ox, oy);
        OffsetRgn(region.get(), ox, oy);
        moved = true;
    }
    return moved;
}

void ChartLabelBlock::DrawLeader(POINT from, POINT to) {
    HDC dc = GetDrawingDC();
    GdiHandle<PenObject> pen(CreatePen(PS_SOLID, 3, GetStyle().lineColour));
    const int saved = SaveDC(dc);
    SelectObject(dc, pen.get());
    SetROP2(dc, R2_COPYPEN);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    Ellipse(dc, to.x - 4, to.y - 4, to.x + 4, to.y + 4);
    RestoreDC(dc, saved);
}

void ChartLabelBlock::DrawForeground() {
    if (m_labels.empty()) return;
    HDC dc = GetDrawingDC();
    HWND window = GetDrawingWindow();
    const bool printing = IsPrinting(dc) != 0;
    if (printing || IsInvalid() || (GetFontFlags() & fontAutoSize)) SetFontDirty(1);
    if (IsFontDirty() || !GetFont()) BuildFont();
    if (!printing) SetFontDirty(0);
    Chart* chart = GetChart();
    if (chart) chart->SaveClip();
    struct Restore {
        Chart* chart;
        ~Restore() {
            if (chart) chart->RestoreClip();
        }
    } restore{chart};
    SelectClipRgn(dc, nullptr);

    GdiHandle<RegionObject> occupied(CreateRectRgn(0, 0, 0, 0));
    m_bounds = {};
    bool any = false;
    const bool drop = ((GetStyle().labelWord >> 4) & 0xF) == kDropMode;
    for (auto& owned : m_labels) {
        ChartLabel& label = *owned;
        label.BeginDraw(dc, window);
        if (label.HasOwnStyle() && !label.GetFont()) label.BuildFont();
        const POINT first = label.GetAnchor();
        label.ComputeOutline();
        const bool moved = m_avoidOverlap && PushClear(label, occupied.get());
        if (!moved || !drop) {
            GdiHandle<RegionObject> outline(label.CreateOutlineRegion());
            if (outline) CombineRgn(occupied.get(), occupied.get(), outline.get(), RGN_OR);
        }
        if (moved && drop) {
            label.EndDraw();
            continue;
        }
        Grow(m_bounds, any, label.GetOutline());
        label.SetDrawFlag(GetDrawFlag());
        if (GetStyle().extraWord & kLeaderLine) DrawLeader(label.GetAnchor(), first);
        label.Draw(dc, window);
    }
    SetInvalid(0);
}

void ChartLabelBlock::Store(ObjectWriter& archive) const {
    ChartLabel::Store(archive);
    archive.WriteObjectList(m_labels);
    archive.WriteInt32(m_reserved);
    archive.WriteInt32(m_avoidOverlap);
    archive.WriteInt32(m_recordAnchors);
}

void ChartLabelBlock::Load(ObjectReader& archive, u32 schema) {
    ChartLabel::Load(archive, schema);
    auto labels = archive.ReadObjectList<ChartLabel>();
    m_reserved = archive.ReadInt32();
    m_avoidOverlap = archive.ReadInt32();
    m_recordAnchors = archive.ReadInt32();
    m_labels = std::move(labels);
    for (auto& label : m_labels) {
        label->SetOwner(this, label->HasOwnStyle());
        label->SetParent(GetChart());
    }
}

} // namespace vq
