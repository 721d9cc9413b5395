#pragma once

#include "platform/gui/Beep.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/WindowRecord.h"
#include "platform/thread/MonotonicClock.h"
#include "toolkit/controls/TkCalendarLocale.h"
#include "toolkit/controls/TkPopupCalendar.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq::test {

// A window that keeps what the calendar posts it.
class CalendarOwner : public CWnd {
public:
    struct Note {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Note> notes;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= TkCalendar::WM_CAL_SELECTED && message <= TkCalendar::WM_CAL_CANCELLED)
            notes.push_back({message, wParam, lParam});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> out;
        for (const Note& n : notes)
            out.push_back(n.message);
        return out;
    }
};

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        SetCalendarLocale(0x0409);
        SetBeepHook([this](UINT type) { beeps.push_back(type); });
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr, 0));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        ReleaseCapture();
        SetBeepHook(nullptr);
        owner.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    // A calendar on 15 March 2024 filling (0,0)-(210,160) of the owner, whose client is where the
    // screen's origin is.
    void Open(TkCalendar& calendar, DWORD options) {
        calendar.SetOptions(options);
        ASSERT_TRUE(calendar.SetDate(OleDateTime(2024, 3, 15, 9, 0, 0), FALSE));
        RECT r{0, 0, 210, 160};
        ASSERT_TRUE(calendar.Create(WS_VISIBLE, r, &owner, 1));
        OffscreenHarness::RunUntilIdle();
        owner.notes.clear();
    }

    static OleDateTime Day(int year, int month, int day) { return OleDateTime(year, month, day, 12, 0, 0); }

    ManualMonotonicClock clock{1'000'000'000};
    CalendarOwner owner;
    std::vector<UINT> beeps;
};

} // namespace vq::test
