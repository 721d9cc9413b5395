#pragma once

#include "platform/gui/WindowSystem.h"

#include <string>

namespace vq {

class CWnd;

// Ids of the class library's own texts in the string table.
inline constexpr std::uint32_t IDS_PARSE_INT = 0xF110;
inline constexpr std::uint32_t IDS_PARSE_INT_RANGE = 0xF111;

// Raised by Fail to end an exchange; UpdateData catches it.
struct DataExchangeFailure {};

// One exchange between a dialog's members and its controls, field by field in order. Saving
// stops at the first field that fails: the user sees the string table's message, the control
// gets the focus with its text selected, and the fields after it keep their values.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control of the field being exchanged.
    HWND PrepareCtrl(UINT id);
    // Tells the user and raises DataExchangeFailure.
    [[noreturn]] void Fail(const std::string& message);

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    HWND m_hWndLastControl = 0;
    // The member the last field saved into with its earlier value, put back when the field's
    // validation fails.
    int* m_pLastInt = nullptr;
    int m_lastIntBefore = 0;
};

void DDX_Text(CDataExchange* exchange, UINT id, int& value);
void DDX_Text(CDataExchange* exchange, UINT id, std::string& value);
void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum);

} // namespace vq
