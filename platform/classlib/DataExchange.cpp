#include "platform/classlib/DataExchange.h"

#include "platform/classlib/Wnd.h"
#include "platform/core/StringTable.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/MessageBox.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <strings.h>

namespace vq {

namespace {

std::string Text(std::uint32_t id, const char* fallback) {
    if (auto text = StringTable::Find(id)) return *text;
    return fallback;
}

std::string WindowText(HWND window) {
    std::string text(std::size_t(GetWindowTextLength(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowText(window, text.data(), int(text.size()))));
    return text;
}

bool IsComboBox(HWND window) {
    char name[16] = {};
    GetClassName(window, name, int(sizeof name));
    return strcasecmp(name, "ComboBox") == 0;
}

// Keeps the member's value from before a save, for the validation that follows to put back.
void Remember(CDataExchange* exchange, std::string& value) {
    exchange->m_pLastString = &value;
    exchange->m_lastStringBefore = value;
}

void ExchangeComboText(CDataExchange* exchange, UINT id, std::string& value, bool exact) {
    HWND control = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate) {
        // A drop-down list's text is its chosen entry's.
        Remember(exchange, value);
        value = WindowText(control);
        return;
    }
    const LPARAM text = LPARAM(value.c_str());
    const LRESULT at = exact ? SendMessage(control, CB_FINDSTRINGEXACT, WPARAM(-1), text)
                             : SendMessage(control, CB_SELECTSTRING, WPARAM(-1), text);
    if (at == CB_ERR)
        SetWindowText(control, value.c_str());
    else if (exact)
        SendMessage(control, CB_SETCURSEL, WPARAM(at), 0);
}

std::string Replace(std::string text, const char* marker, const std::string& value) {
    if (const auto at = text.find(marker); at != std::string::npos)
        text.replace(at, std::strlen(marker), value);
    return text;
}

} // namespace

HWND CDataExchange::PrepareCtrl(UINT id) {
    m_pLastInt = nullptr;
    m_pLastString = nullptr;
    m_hWndLastControl = GetDlgItem(m_pDlgWnd->m_hWnd, int(id));
    return m_hWndLastControl;
}

void CDataExchange::Fail(const std::string& message) {
    MessageBox(m_pDlgWnd->m_hWnd, message.c_str(), "", MB_OK | MB_ICONWARNING);
    if (m_hWndLastControl) {
        SetFocus(m_hWndLastControl);
        if (IsComboBox(m_hWndLastControl))
            SendMessage(m_hWndLastControl, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        else
            SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw DataExchangeFailure{};
}

void DDX_Text(CDataExchange* exchange, UINT id, int& value) {
    HWND control = exchange->PrepareCtrl(id);
    if (!exchange->m_bSaveAndValidate) {
        SetWindowText(control, std::to_string(value).c_str());
        return;
    }
    std::string text = WindowText(control);
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        exchange->Fail(Text(IDS_PARSE_INT, "Please enter an integer."));
    exchange->m_pLastInt = &value;
    exchange->m_lastIntBefore = value;
    value = parsed;
}

void DDX_Text(CDataExchange* exchange, UINT id, std::string& value) {
    HWND control = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate) {
        Remember(exchange, value);
        value = WindowText(control);
    } else {
        SetWindowText(control, value.c_str());
    }
}

void DDX_CBIndex(CDataExchange* exchange, UINT id, int& index) {
    HWND control = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate)
        index = int(SendMessage(control, CB_GETCURSEL, 0, 0));
    else
        SendMessage(control, CB_SETCURSEL, WPARAM(std::intptr_t(index)), 0);
}

void DDX_CBString(CDataExchange* exchange, UINT id, std::string& value) {
    ExchangeComboText(exchange, id, value, false);
}

void DDX_CBStringExact(CDataExchange* exchange, UINT id, std::string& value) {
    ExchangeComboText(exchange, id, value, true);
}

void DDX_Check(CDataExchange* exchange, UINT id, int& value) {
    HWND control = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate)
        value = int(SendMessage(control, BM_GETCHECK, 0, 0));
    else
        SendMessage(control, BM_SETCHECK, WPARAM(value), 0);
}

void DDX_Radio(CDataExchange* exchange, UINT id, int& value) {
    HWND first = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND button = first; button; button = GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (GetWindowLongPtr(button, GWL_STYLE) & WS_GROUP)) break;
        if (!(SendMessage(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (exchange->m_bSaveAndValidate) {
            if (SendMessage(button, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = index;
        } else {
            SendMessage(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_LBString(CDataExchange* exchange, UINT id, std::string& value) {
    HWND control = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate) {
        Remember(exchange, value);
        const LRESULT chosen = SendMessage(control, LB_GETCURSEL, 0, 0);
        const LRESULT length =
            chosen == LB_ERR ? LB_ERR : SendMessage(control, LB_GETTEXTLEN, WPARAM(chosen), 0);
        value.clear();
        if (length == LB_ERR) return;
        value.resize(std::size_t(length) + 1);
        value.resize(std::size_t(
            std::max<LRESULT>(SendMessage(control, LB_GETTEXT, WPARAM(chosen), LPARAM(value.data())), 0)));
        return;
    }
    // Nothing chosen saves as an empty text, so an empty text chooses nothing.
    const LRESULT found =
        value.empty() ? LB_ERR : SendMessage(control, LB_FINDSTRING, WPARAM(-1), LPARAM(value.c_str()));
    if (found != LB_ERR || value.empty()) SendMessage(control, LB_SETCURSEL, WPARAM(found), 0);
}

void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum) {
    if (!exchange->m_bSaveAndValidate || (value >= minimum && value <= maximum)) return;
    std::string text = Text(IDS_PARSE_INT_RANGE, "Please enter an integer between %1 and %2.");
    text = Replace(Replace(text, "%1", std::to_string(minimum)), "%2", std::to_string(maximum));
    if (exchange->m_pLastInt) *exchange->m_pLastInt = exchange->m_lastIntBefore;
    exchange->Fail(text);
}

void DDV_MaxChars(CDataExchange* exchange, const std::string& value, int count) {
    HWND control = exchange->m_hWndLastControl;
    if (!exchange->m_bSaveAndValidate) {
        if (control)
            SendMessage(control, IsComboBox(control) ? CB_LIMITTEXT : EM_LIMITTEXT, WPARAM(count), 0);
        return;
    }
    if (value.size() <= std::size_t(std::max(count, 0))) return;
    const std::string text = Replace(Text(IDS_PARSE_STRING_SIZE, "Please enter no more than %1 characters."),
                                     "%1", std::to_string(count));
    if (exchange->m_pLastString) *exchange->m_pLastString = exchange->m_lastStringBefore;
    exchange->Fail(text);
}

} // namespace vq
