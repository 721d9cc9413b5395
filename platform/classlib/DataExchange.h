#pragma once

#include "platform/gui/WindowSystem.h"

#include <string>

namespace vq {

class CWnd;

// Ids of the class library's own texts in the string table.
inline constexpr std::uint32_t IDS_PARSE_INT = 0xF110;
inline constexpr std::uint32_t IDS_PARSE_INT_RANGE = 0xF111;
inline constexpr std::uint32_t IDS_PARSE_STRING_SIZE = 0xF112;

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
    std::string* m_pLastString = nullptr;
    std::string m_lastStringBefore;
};

void DDX_Text(CDataExchange* exchange, UINT id, int& value);
void DDX_Text(CDataExchange* exchange, UINT id, std::string& value);
// Combo boxes: the index of the chosen entry, -1 for none; or the text, shown by choosing the first
// entry that begins with it (DDX_CBString) or equals it (DDX_CBStringExact), else put in the field.
void DDX_CBIndex(CDataExchange* exchange, UINT id, int& index);
void DDX_CBString(CDataExchange* exchange, UINT id, std::string& value);
void DDX_CBStringExact(CDataExchange* exchange, UINT id, std::string& value);
// A check box's state (BST_UNCHECKED, BST_CHECKED or the third state).
void DDX_Check(CDataExchange* exchange, UINT id, int& value);
// The radio buttons of the group that starts at the control: the index of the checked one, -1 for
// none.
void DDX_Radio(CDataExchange* exchange, UINT id, int& value);
// A list box's chosen entry: its text, empty for none; shown by choosing the first entry that
// begins with it, an empty text choosing none. An entry that is not there leaves the choice alone.
void DDX_LBString(CDataExchange* exchange, UINT id, std::string& value);
void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum);
// A text of at most `count` bytes: the last field's control takes no more when it is shown, and a
// longer text fails when it is saved.
void DDV_MaxChars(CDataExchange* exchange, const std::string& value, int count);

} // namespace vq
