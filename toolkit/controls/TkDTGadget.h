#pragma once

#include "platform/gui/DeviceContext.h"
#include "platform/gui/GdiObject.h"
#include "platform/gui/GdiTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

class TkDateTimeCtrl;

// A drawn element of the date/time control: a field, a literal, or one of the buttons at its right
// edge. Not a window; the control routes its input here, and the gadget reports what the user did
// as gadget events that the control decides on.
class TkDTGadget {
public:
    enum Flags : std::uint32_t { takesFocus = 1, takesClicks = 2, fixed = 4, unset = 8 };

    TkDTGadget() = default;
    virtual ~TkDTGadget();
    TkDTGadget(const TkDTGadget&) = delete;
    TkDTGadget& operator=(const TkDTGadget&) = delete;

    void Initialize(TkDateTimeCtrl* owner, std::int32_t id);

    // The gadget's text, empty where it has none.
    virtual std::string GetText() const { return {}; }
    // Sets the rectangle to the gadget's size at the origin; a bottom of -1 asks for the control's
    // full height.
    virtual void CalcSize(HDC dc) = 0;
    virtual void Draw(HDC dc) = 0;
    // Answers whether the gadget can take the focus mark at all.
    virtual BOOL SetFocus(BOOL focus);
    virtual void OnKeyDown(UINT /*key*/) {}
    // One whole character, as a code point.
    virtual void OnChar(UINT /*character*/) {}
    virtual void OnLButtonDown(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnLButtonUp(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnMouseMove(UINT /*flags*/, POINT /*point*/) {}
    // Ends typing or mouse tracking.
    virtual void EndEditing() {}
    virtual void OnTimer() {}
    virtual void OnSysColorChange() {}

    std::uint32_t GetFlags() const { return m_flags; }
    void SetFlags(std::uint32_t flags) { m_flags = flags; }
    std::int32_t GetId() const { return m_id; }
    void SetId(std::int32_t id) { m_id = id; }
    std::int32_t GetValue() const { return m_value; }
    void SetValue(std::int32_t value) { m_value = value; }
    const RECT& GetRect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    bool HasFocusMark() const { return m_focus != FALSE; }

protected:
    BOOL Notify(int event, std::int32_t value);
    void Invalidate(bool updateNow);
    void Capture(bool capture);
    void StartTimer(UINT milliseconds);
    void StopTimer();

    RECT m_rect{};
    BOOL m_focus = FALSE;
    std::uint32_t m_flags = takesFocus;
    std::int32_t m_id = -1;
    std::int32_t m_value = 0;
    TkDateTimeCtrl* m_owner = nullptr;

private:
    std::uintptr_t m_timer = 0;
    friend void GadgetTimerProc(HWND, UINT, std::uintptr_t, DWORD);
};

// A run of literal text between fields.
class TkDTStaticGadget : public TkDTGadget {
public:
    TkDTStaticGadget() { m_flags = 0; }
    BOOL Initialize(TkDateTimeCtrl* owner, std::string text, std::int32_t id);
    std::string GetText() const override { return m_text; }
    void CalcSize(HDC dc) override;
    void Draw(HDC dc) override;

private:
    std::string m_text;
};

// A number typed digit by digit.
class TkDTNumericGadget : public TkDTGadget {
public:
    BOOL Initialize(TkDateTimeCtrl* owner, int smallest, int largest, int value, BOOL leadingZeros,
                    std::int32_t id);
    std::string GetText() const override;
    void CalcSize(HDC dc) override;
    void Draw(HDC dc) override;
    BOOL SetFocus(BOOL focus) override;
    void OnKeyDown(UINT key) override;
    void OnChar(UINT character) override;
    void EndEditing() override;

    int GetDigits() const { return m_digits; }
    BOOL HasLeadingZeros() const { return m_leadingZeros; }
    bool IsTyping() const { return m_typing; }

private:
    bool Commit();

    int m_largest = 0;
    int m_digits = 1;
    int m_typed = 0;
    int m_typedDigits = 0;
    bool m_typing = false;
    BOOL m_leadingZeros = FALSE;
};

// One of a list of names, picked by stepping or by typing its first letters.
class TkDTListGadget : public TkDTGadget {
public:
    ~TkDTListGadget() override;
    BOOL Initialize(TkDateTimeCtrl* owner, std::vector<std::string> names, int value, std::int32_t id);
    std::string GetText() const override;
    void CalcSize(HDC dc) override;
    void Draw(HDC dc) override;
    BOOL SetFocus(BOOL focus) override;
    void OnKeyDown(UINT key) override;
    void OnChar(UINT character) override;
    void OnTimer() override;

    const std::vector<std::string>& GetNames() const { return m_names; }
    // How long typed letters keep extending one search.
    static constexpr UINT searchTimeout = 2000;

private:
    int Find(int start, const std::string& text);
    void EndSearch();

    std::vector<std::string> m_names;
    std::string m_search;
    bool m_running = false;
};

// The up and down buttons that step the current field, repeating while held.
class TkDTSpinGadget : public TkDTGadget {
public:
    enum State : std::uint32_t {
        upPressed = 1,
        downPressed = 2,
        trackingUp = 4,
        trackingDown = 8,
        timerRunning = 0x10,
        firstDelay = 0x20,
    };
    TkDTSpinGadget() { m_flags = takesClicks; }
    BOOL Initialize(TkDateTimeCtrl* owner, std::int32_t id);
    void CalcSize(HDC dc) override;
    void Draw(HDC dc) override;
    // -1 outside, 0 the upper half, 1 the lower.
    int HitTest(POINT point) const;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void EndEditing() override;
    void OnTimer() override;
    std::uint32_t GetState() const { return m_state; }

private:
    void Restart(UINT milliseconds);
    void Halt();

    void DrawHalf(HDC dc, const RECT& half, bool up, bool pressed) const;

    std::uint32_t m_state = 0;
    int m_repeats = 0;
};

// The button that drops the calendar down.
class TkDTButtonGadget : public TkDTGadget {
public:
    enum State : std::uint32_t { tracking = 1, pushed = 2 };
    TkDTButtonGadget() { m_flags = takesClicks; }
    ~TkDTButtonGadget() override;
    // Fails when the bitmap cannot be loaded.
    BOOL Initialize(TkDateTimeCtrl* owner, UINT bitmapId, std::int32_t id);
    void CalcSize(HDC dc) override;
    void Draw(HDC dc) override;
    void OnSysColorChange() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void EndEditing() override;
    std::uint32_t GetState() const { return m_state; }

private:
    bool LoadBitmap();

    std::uint32_t m_state = 0;
    HBITMAP m_bitmap = nullptr;
    UINT m_bitmapId = 0;
};

} // namespace vq
