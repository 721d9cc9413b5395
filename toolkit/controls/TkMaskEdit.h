#pragma once

#include "platform/classlib/Edit.h"

#include <string>
#include <vector>

namespace vq {

class CDataExchange;

// An edit that takes input only in the shape of a mask: each position is a literal or a
// placeholder for one character of a class (# digit, & any, ? letter, A letter or digit, L letter
// to lower case, U letter to upper case; \ makes the next mask character a literal). Empty
// placeholders show the prompt character. Positions count characters, whatever their UTF-8 length;
// the edit window's byte positions are converted at every call. Works without a window, where the
// setters only store.
class TkMaskEdit : public CEdit {
    VQ_DECLARE_RUNTIME_CLASS(TkMaskEdit)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // One position of the mask as stored.
    struct Slot {
        bool placeholder = false;
        char32_t code = 0; // the placeholder's mask character, or the literal
    };

    TkMaskEdit();

    virtual BOOL SetMask(const std::string& mask);
    // A zero character, or a code that is no character, is ignored.
    virtual void SetPromptChar(char32_t prompt);
    virtual char32_t GetPromptChar() const { return m_prompt; }
    // Enters the text at the placeholders from `position` on; false for an empty mask or a
    // position outside it.
    virtual BOOL SetData(const std::string& text, int position, BOOL insert, BOOL skipInvalid);
    // The placeholders' characters, prompts as spaces; trailing spaces removed with `trim`.
    virtual void GetData(std::string& data, BOOL trim) const;
    // The whole text, literals and prompts included.
    virtual std::string GetText() const;
    virtual void SetInsertMode(BOOL insert) { m_insert = insert; }
    virtual BOOL GetInsertMode() const { return m_insert; }
    virtual BOOL CanUndo() const { return m_undo != m_text; }
    virtual BOOL Undo();
    virtual void EmptyUndo();
    // Applies the case styles and the placeholder's conversion to `c`; false where it does not fit.
    virtual BOOL IsValidChar(int position, char32_t& c) const;
    // Whether the position is inside the mask and holds a literal.
    virtual BOOL IsLiteral(int position) const;
    virtual BOOL IsMaskChar(char32_t c) const;
    virtual void ResetText();
    virtual void MakeEmptyText(const std::vector<Slot>& mask, std::u32string& text) const;
    virtual void ConvertMask();
    // The position just after the entered input, looking back from `position`.
    virtual int GetInputEnd(int position) const;
    virtual BOOL InsertChar(int position, char32_t c, BOOL show);
    // Removes the placeholder characters from `start` up to `end`, pulling the rest left.
    virtual void DeleteRange(int end, int start);
    // Selects `length` characters from the placeholder found in `direction`; answers it or -1.
    virtual int MoveCaret(int position, int direction, int length);
    virtual int NextPlaceholder(int position) const;
    virtual int PrevPlaceholder(int position) const;
    virtual void ShowText();

    BOOL AttachEdit(UINT id, CWnd* parent);
    void ClearText();
    static void ExchangeData(CDataExchange* exchange, TkMaskEdit& control, std::string& data,
                             std::string& text);

    int GetMaskLength() const { return int(m_mask.size()); }

protected:
    LRESULT OnKeyDown(WPARAM key, LPARAM);
    LRESULT OnChar(WPARAM character, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnCut(WPARAM, LPARAM);
    LRESULT OnCopy(WPARAM, LPARAM);
    LRESULT OnPaste(WPARAM, LPARAM);
    LRESULT OnClear(WPARAM, LPARAM);
    LRESULT OnUndo(WPARAM, LPARAM);

private:
    bool IsPlaceholder(int position) const;
    bool Inside(int position) const { return position >= 0 && position < int(m_mask.size()); }
    bool IsFilled(int position) const;
    // The selection in characters.
    void GetCharSel(int& start, int& end) const;
    void SetCharSel(int start, int end) const;
    void DeleteKey(int start, int end, bool backspace);
    void PutCaretAfterInput();
    BOOL Enter(const std::string& text, int position, BOOL insert, BOOL skipInvalid);

    std::string m_given;
    std::vector<Slot> m_mask;
    std::u32string m_text;
    char32_t m_prompt = U' ';
    BOOL m_keyHandled = FALSE;
    BOOL m_insert = FALSE;
    std::u32string m_undo;
    std::u32string m_shown;
};

} // namespace vq
