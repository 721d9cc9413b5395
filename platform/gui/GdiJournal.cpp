#include "platform/gui/GdiJournal.h"

#include "platform/gui/Gdi.h"

namespace vq {
namespace {

GdiJournal* g_journal = nullptr;

} // namespace

GdiJournal::GdiJournal() {
    g_journal = this;
}

GdiJournal::~GdiJournal() {
    if (g_journal == this) g_journal = nullptr;
}

std::vector<GdiJournalEntry> GdiJournal::Calls(std::string_view call) const {
    std::vector<GdiJournalEntry> found;
    for (const auto& e : m_entries)
        if (e.call == call) found.push_back(e);
    return found;
}

void GdiJournal::Record(HDC dc, const char* call, const RECT& device) {
    if (!g_journal || !dc) return;
    GdiJournalEntry entry{call,           dc, device, dc->state.pen, dc->state.brush, dc->state.font,
                          dc->state.rop2, {}};
    Region visible = dc->Clip();
    visible.Offset(-dc->Origin().x, -dc->Origin().y);
    entry.clipBox = visible.Bounds();
    g_journal->m_entries.push_back(std::move(entry));
}

} // namespace vq
