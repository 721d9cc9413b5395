#include "DateTimeFixture.h"

#include "platform/gui/Messages.h"

namespace vq::test {
namespace {

using C = TkDateTimeCtrl;
constexpr UINT plainBeep = 0xFFFFFFFF;

// Records the events gadgets raise before the control decides on them.
class EventCtrl : public FieldCtrl {
public:
    struct Event {
        int event;
        std::int32_t id, value;
        friend bool operator==(const Event&, const Event&) = default;
    };
    std::vector<Event> events;
    TkDTGadget* captured = nullptr;

    BOOL OnGadgetEvent(int event, std::int32_t id, std::int32_t value) override {
        events.push_back({event, id, value});
        return FieldCtrl::OnGadgetEvent(event, id, value);
    }
    void CaptureGadget(TkDTGadget* gadget) override { captured = gadget; }
};

void Type(TkDTGadget& gadget, const char* text) {
    for (const char* p = text; *p; ++p)
        gadget.OnChar(UINT(static_cast<unsigned char>(*p)));
}

TEST_F(DateTimeTest, TypedDigitsFillANumericFieldAndAdvance) {
    const struct {
        const char* typed;
        BOOL autoAdvance;
        const char* text;
        int hour;
        bool moved;
    } cases[] = {
        {"07", TRUE, "07:00", 7, true},
        {"007", TRUE, "07:00", 7, true},
        {"07", FALSE, "07:00", 7, false},
        {"7", TRUE, "07:00", 9, false}, // one digit is shown, not yet set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EventCtrl ctrl;
        ctrl.Build("HH:mm");
        ctrl.SetFieldNavigation(c.autoAdvance);
        ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 0, 0}));
        ctrl.Focus(ctrl.IndexOf(C::idHour24));
        Type(ctrl.Gadget(C::idHour24), c.typed);
        EXPECT_EQ(ctrl.Text(), c.text);
        EXPECT_EQ(ctrl.GetDateTime().GetHour(), c.hour);
        EXPECT_EQ(ctrl.GetCurrentIndex() == ctrl.IndexOf(C::idMinute), c.moved);
    }
}

TEST_F(DateTimeTest, CommittingTypedDigitsAsksSetsAndEndsTyping) {
    EventCtrl ctrl;
    ctrl.Build("HH:mm");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 0, 0}));
    ctrl.Focus(ctrl.IndexOf(C::idMinute));
    TkDTGadget& minute = ctrl.Gadget(C::idMinute);
    Type(minute, "4");
    EXPECT_TRUE(ctrl.IsEditing());
    minute.SetFocus(FALSE);
    using E = EventCtrl::Event;
    EXPECT_EQ(ctrl.events, (std::vector<E>{{10, 4, 1}, {6, 4, 4}, {7, 4, 4}, {10, 4, 0}}));
    EXPECT_EQ(ctrl.Text(), "09:04");
    EXPECT_FALSE(ctrl.IsEditing());

    ctrl.events.clear();
    Type(minute, "45");
    EXPECT_EQ(ctrl.events, (std::vector<E>{{10, 4, 1}, {6, 4, 45}, {7, 4, 45}, {10, 4, 0}, {11, 4, 0}}));
    EXPECT_TRUE(beeps.empty());
}

TEST_F(DateTimeTest, ALetterWhileTypingBeepsAndKeepsTheOldValue) {
    EventCtrl ctrl;
    ctrl.Build("HH:mm");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 30, 0}));
    TkDTGadget& minute = ctrl.Gadget(C::idMinute);
    Type(minute, "4x");
    EXPECT_EQ(beeps, std::vector<UINT>{plainBeep});
    EXPECT_EQ(ctrl.Text(), "09:30");
    EXPECT_FALSE(ctrl.IsEditing());
    Type(minute, "x");
    EXPECT_EQ(beeps.size(), 1u) << "a letter outside typing is ignored";
}

TEST_F(DateTimeTest, AValueTheControlRefusesBeepsAndIsNotSet) {
    EventCtrl ctrl;
    ctrl.Build("dd/MM/yyyy");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 4, 10, 0, 0, 0}));
    Type(ctrl.Gadget(C::idDay), "31");
    EXPECT_EQ(beeps, std::vector<UINT>{plainBeep});
    EXPECT_EQ(ctrl.Text(), "10/04/2024");
    EXPECT_EQ(ctrl.changed, 0);
}

TEST_F(DateTimeTest, KeysStepANumericFieldAfterCommittingTyping) {
    EventCtrl ctrl;
    ctrl.Build("HH:mm");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 30, 0}));
    TkDTGadget& minute = ctrl.Gadget(C::idMinute);
    Type(minute, "4");
    minute.OnKeyDown(VK_UP);
    EXPECT_EQ(ctrl.Text(), "09:05") << "4 is committed, then stepped";
    minute.OnKeyDown(VK_END);
    EXPECT_EQ(ctrl.Text(), "09:59");
    minute.OnKeyDown(VK_HOME);
    minute.OnKeyDown(VK_SUBTRACT);
    EXPECT_EQ(ctrl.Text(), "09:59");
}

TEST_F(DateTimeTest, TypedLettersSearchTheMonthNames) {
    const struct {
        const char* typed;
        const char* shown;
        std::size_t beeps;
    } cases[] = {
        {"J", "Jun", 0}, {"JJ", "Jul", 0}, {"JJJ", "Jan", 0}, {"Jun", "Jun", 0},
        {"ju", "Jun", 0}, {"Jx", "Jun", 1}, {"q", "Mar", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EventCtrl ctrl;
        ctrl.Build("MMM");
        ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 30, 0}));
        beeps.clear();
        Type(ctrl.Gadget(C::idMonthName), c.typed);
        EXPECT_EQ(ctrl.Text(), c.shown);
        EXPECT_EQ(beeps.size(), c.beeps);
    }
}

TEST_F(DateTimeTest, TheSearchForgetsItsTextAfterTwoSeconds) {
    EventCtrl ctrl;
    ctrl.Build("MMMM");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 30, 0}));
    TkDTGadget& month = ctrl.Gadget(C::idMonthName);
    Type(month, "J");
    EXPECT_EQ(ctrl.Text(), "June");
    Advance(1999);
    Type(month, "u");
    EXPECT_EQ(ctrl.Text(), "June") << "within the timeout the text grows to \"Ju\"";
    Advance(2000);
    Type(month, "J");
    EXPECT_EQ(ctrl.Text(), "July") << "a new search from June";
}

TEST_F(DateTimeTest, NamesCompareWithoutCaseBeyondAscii) {
    SetCalendarLocale(0x0407);
    EventCtrl ctrl;
    ctrl.Build("MMMM");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 1, 10, 9, 30, 0}));
    TkDTGadget& month = ctrl.Gadget(C::idMonthName);
    month.OnChar('m');
    month.OnChar(0xC4); // Ä, matching the ä of März
    EXPECT_EQ(ctrl.Text(), "März");
    SetCalendarLocale(0x0409);
}

TEST_F(DateTimeTest, HeldSpinRepeatsAfterADelayWithGrowingSteps) {
    const struct {
        const char* format;
        std::int32_t id;
        int after1, after20, after21, after50, after51;
    } cases[] = {
        // One step at the press, then 20 repeats of 1, 30 of 2 and then 5 (2 for the minute,
        // which wraps from 59 to 0).
        {"yyyy", C::idYear4, 2001, 2021, 2023, 2081, 2086},
        {"mm", C::idMinute, 1, 21, 23, 20, 22},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EventCtrl ctrl;
        ctrl.style = C::styleSpin;
        ctrl.Build(c.format);
        ASSERT_TRUE(ctrl.SetDateTime({2000, 3, 10, 9, 0, 0}));
        ctrl.Focus(ctrl.IndexOf(c.id));
        TkDTGadget& spin = ctrl.Gadget(C::idSpin);
        spin.SetRect({100, 0, 116, 20});
        const auto value = [&] { return ctrl.Gadget(c.id).GetValue(); };
        spin.OnLButtonDown(0, {105, 3});
        EXPECT_EQ(ctrl.captured, &spin);
        EXPECT_EQ(value(), c.after1);
        Advance(499);
        EXPECT_EQ(value(), c.after1) << "nothing before the first delay";
        Advance(1);
        for (int repeat = 2; repeat <= 20; ++repeat)
            Advance(100);
        EXPECT_EQ(value(), c.after20);
        Advance(100);
        EXPECT_EQ(value(), c.after21);
        for (int repeat = 22; repeat <= 50; ++repeat)
            Advance(100);
        EXPECT_EQ(value(), c.after50);
        Advance(100);
        EXPECT_EQ(value(), c.after51);
        spin.OnLButtonUp(0, {105, 3});
        EXPECT_EQ(ctrl.captured, nullptr);
        Advance(1000);
        EXPECT_EQ(value(), c.after51) << "release stops the repeat";
    }
}

TEST_F(DateTimeTest, ASpinDraggedOffItsHalfPausesTheRepeat) {
    EventCtrl ctrl;
    ctrl.style = C::styleSpin;
    ctrl.Build("yyyy");
    ASSERT_TRUE(ctrl.SetDateTime({2000, 3, 10, 9, 0, 0}));
    ctrl.Focus(ctrl.IndexOf(C::idYear4));
    auto& spin = dynamic_cast<TkDTSpinGadget&>(ctrl.Gadget(C::idSpin));
    spin.SetRect({100, 0, 116, 20});
    spin.OnLButtonDown(0, {105, 15});
    EXPECT_EQ(ctrl.Text(), "1999");
    spin.OnMouseMove(0, {105, 3});
    EXPECT_FALSE(spin.GetState() & TkDTSpinGadget::downPressed);
    Advance(2000);
    EXPECT_EQ(ctrl.Text(), "1999");
    spin.OnMouseMove(0, {105, 15});
    Advance(100);
    EXPECT_EQ(ctrl.Text(), "1998") << "back inside, the repeat runs every 100 ms";
    spin.EndEditing();
    EXPECT_EQ(spin.GetState(), 0u);
}

TEST_F(DateTimeTest, TheDropDownButtonClicksOnlyWhenReleasedInside) {
    EventCtrl ctrl;
    ctrl.style = C::styleDropDown;
    ctrl.Build("HH");
    auto& button = dynamic_cast<TkDTButtonGadget&>(ctrl.Gadget(C::idButton));
    button.SetRect({100, 0, 116, 20});
    button.OnLButtonDown(0, {105, 5});
    button.OnMouseMove(0, {140, 5});
    EXPECT_FALSE(button.GetState() & TkDTButtonGadget::pushed);
    button.OnLButtonUp(0, {140, 5});
    EXPECT_TRUE(ctrl.events.empty());
    button.OnLButtonDown(0, {105, 5});
    button.OnLButtonUp(0, {106, 6});
    EXPECT_EQ(ctrl.events, (std::vector<EventCtrl::Event>{{5, C::idButton, 0}}));
    EXPECT_EQ(button.GetState(), 0u);
}

TEST_F(DateTimeTest, AGadgetTimerStopsWithItsGadget) {
    {
        EventCtrl ctrl;
        ctrl.Build("MMM");
        Type(ctrl.Gadget(C::idMonthName), "J");
    }
    Advance(3000); // would reach a deleted gadget if its timer outlived it
}

} // namespace
} // namespace vq::test
