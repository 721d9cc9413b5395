#pragma once

#include "platform/gui/Beep.h"
#include "platform/gui/Locale.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/thread/MonotonicClock.h"
#include "platform/time/Clock.h"
#include "platform/time/SystemTime.h"
#include "toolkit/controls/TkCalendarLocale.h"
#include "toolkit/controls/TkDTGadget.h"
#include "toolkit/controls/TkDateTimeCtrl.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq::test {

// A control whose gadgets stand in for its window; it counts its change notices and takes its
// style from the test.
class FieldCtrl : public TkDateTimeCtrl {
public:
    std::uint32_t style = 0;
    int changed = 0;

    void OnChanged() override { ++changed; }
    std::uint32_t GetControlStyle() const override { return style; }
    bool HasWindow() const override { return true; }

    using TkDateTimeCtrl::CreateFixedGadgets;
    // What creating the window does with the gadgets.
    void Build(const std::string& format) {
        CreateFixedGadgets();
        SetFormat(format);
    }
    void Focus(std::size_t index) {
        if (TkDTGadget* old = GetCurrentGadget()) old->SetFocus(FALSE);
        m_current = index;
        GetGadget(index)->SetFocus(TRUE);
    }
    // The index of the first gadget with that id.
    std::size_t IndexOf(std::int32_t id) const {
        for (std::size_t i = 0; i < GetGadgetCount(); ++i)
            if (GetGadget(i)->GetId() == id) return i;
        return GetGadgetCount();
    }
    TkDTGadget& Gadget(std::int32_t id) const { return *GetGadget(IndexOf(id)); }
    std::string Text() const {
        std::string text;
        for (std::size_t i = 0; i < GetGadgetCount(); ++i)
            text += GetGadget(i)->GetText();
        return text;
    }
};

// The wall clock on 15 March 2024 12:00 in a pinned UTC zone, the monotonic clock for the gadget
// timers, the English locale, and every beep recorded.
class DateTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        if (tz) savedTz = tz;
        hadTz = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
        SetWall(2024, 3, 15, 12, 0);
        SetMonotonicClock(&monotonic);
        SetUserDefaultLCID(0x0409);
        SetCalendarLocale(0x0409);
        SetBeepHook([this](UINT type) { beeps.push_back(type); });
    }
    void TearDown() override {
        SetBeepHook(nullptr);
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
        if (hadTz)
            setenv("TZ", savedTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    void SetWall(int year, int month, int day, int hour, int minute) {
        SystemTime st;
        st.year = std::uint16_t(year);
        st.month = std::uint16_t(month);
        st.day = std::uint16_t(day);
        st.hour = std::uint16_t(hour);
        st.minute = std::uint16_t(minute);
        std::uint64_t ticks = 0;
        ASSERT_TRUE(SystemTimeToFileTime(st, ticks));
        wall.Set(ticks);
    }
    void Advance(int milliseconds) {
        monotonic.AdvanceMilliseconds(milliseconds);
        OffscreenHarness::RunUntilIdle();
    }

    ManualClock wall;
    ScopedClock wallGuard{wall};
    ManualMonotonicClock monotonic{1'000'000'000};
    std::vector<UINT> beeps;
    std::string savedTz;
    bool hadTz = false;
};

} // namespace vq::test
