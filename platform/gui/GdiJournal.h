#pragma once

#include "platform/gui/DeviceContext.h"

#include <string>
#include <string_view>
#include <vector>

namespace vq {

// One drawing call as a journal saw it: the device rectangle it touched (the box of its points,
// or the bitmap's size for a bitmap made compatible with the context), the objects and raster
// operation selected, and the clip box, all in device coordinates.
struct GdiJournalEntry {
    std::string call;
    HDC dc = nullptr;
    RECT device{};
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    int rop2 = 0;
    RECT clipBox{};
};

// While a journal exists, every context records its drawing calls in it, for tests that check
// what was drawn where. One journal at a time, on the GUI thread.
class GdiJournal {
public:
    GdiJournal();
    ~GdiJournal();
    GdiJournal(const GdiJournal&) = delete;
    GdiJournal& operator=(const GdiJournal&) = delete;

    const std::vector<GdiJournalEntry>& Entries() const { return m_entries; }
    // The entries of one call, in order.
    std::vector<GdiJournalEntry> Calls(std::string_view call) const;
    void Clear() { m_entries.clear(); }

    // Nothing happens without a journal.
    static void Record(HDC dc, const char* call, const RECT& device);

private:
    std::vector<GdiJournalEntry> m_entries;
};

} // namespace vq
