#include "platform/classlib/DataExchange.h"

#include "platform/classlib/Wnd.h"
#include "platform/core/StringTable.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/MessageBox.h"

#include <charconv>
#include <cstring>

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

std::string Replace(std::string text, const char* marker, const std::string& value) {
    if (const auto at = text.find(marker); at != std::string::npos)
        text.replace(at, std::strlen(marker), value);
    return text;
}

} // namespace

HWND CDataExchange::PrepareCtrl(UINT id) {
    m_pLastInt = nullptr;
    m_hWndLastControl = GetDlgItem(m_pDlgWnd->m_hWnd, int(id));
    return m_hWndLastControl;
}

void CDataExchange::Fail(const std::string& message) {
    MessageBox(m_pDlgWnd->m_hWnd, message.c_str(), "", MB_OK | MB_ICONWARNING);
    if (m_hWndLastControl) {
        SetFocus(m_hWndLastControl);
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
    if (exchange->m_bSaveAndValidate)
        value = WindowText(control);
    else
        SetWindowText(control, value.c_str());
}

void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum) {
    if (!exchange->m_bSaveAndValidate || (value >= minimum && value <= maximum)) return;
    std::string text = Text(IDS_PARSE_INT_RANGE, "Please enter an integer between %1 and %2.");
    text = Replace(Replace(text, "%1", std::to_string(minimum)), "%2", std::to_string(maximum));
    if (exchange->m_pLastInt) *exchange->m_pLastInt = exchange->m_lastIntBefore;
    exchange->Fail(text);
}

} // namespace vq
