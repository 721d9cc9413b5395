#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/Menu.h"
#include "platform/gui/WindowSystem.h"

#include <type_traits>

namespace vq {

class CCmdTarget;
class CCmdUI;
class CWnd;

// Notification codes of command routing: a command, or the question whether it is enabled.
inline constexpr int CN_COMMAND = 0;
inline constexpr int CN_UPDATE_COMMAND_UI = -1;
// The code of a message map's entries for messages posted to the thread instead of a window.
inline constexpr int CN_THREAD_MESSAGE = -2;
// A control's notification comes back to the control as this base plus the original message.
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;

enum class MsgSig { end, command, commandUI, message, reflectCommand };

// Runs one entry's handler on the object whose map holds it. The message-map macros make one per
// entry, which calls the handler through the entry's own class with its own signature, so no entry
// stores a member function under a type other than its own. `extra` is the CCmdUI of an update.
using MessageHandler = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam, void* extra);

struct MessageMapEntry {
    UINT message;
    int code;
    UINT id;
    UINT lastId;
    MsgSig sig;
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;
};

// Answers "would anyone handle this command?" without running the handler.
struct CmdHandlerInfo {
    CCmdTarget* target = nullptr;
};

// An object that takes commands: handlers are found in its class's message map and those of its
// bases; subclasses route commands on to other targets.
class CCmdTarget : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CCmdTarget)
public:
    // With `info`, only reports whether a handler exists. `extra` is the CCmdUI of an update.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info);

    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }

protected:
    // The first entry of the maps from this class down to the root that matches.
    const MessageMapEntry* FindEntry(UINT message, int code, UINT id) const;
};

// One command's state being asked for: handlers enable, check or rename it.
// The checked-item bitmap SetRadio gives menu items: replaceable by whoever draws a better one (the
// replacement stays theirs); null means the system's radio dot.
HBITMAP& RadioMenuMark();

class CCmdUI {
public:
    UINT m_nID = 0;
    CWnd* m_pOther = nullptr;
    // A menu item, by position, when the state is asked for one.
    HMENU m_pMenu = nullptr;
    UINT m_nIndex = 0;
    // The popup's item count while its items are updated: a handler that inserts or deletes items
    // sets it anew, and moves m_nIndex to the last item it dealt with.
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL enable = TRUE);
    virtual void SetCheck(int check = 1);
    virtual void SetText(const char* text);
    // Checks a menu item with the radio mark (RadioMenuMark()) in place of the check mark.
    virtual void SetRadio(BOOL on = TRUE);

    // Asks the target; a command nobody handles is disabled when `disableIfNoHandler`.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);
};

} // namespace vq

// In the class body.
#define VQ_DECLARE_MESSAGE_MAP()                                                                             \
public:                                                                                                      \
    static const ::vq::MessageMap* GetThisMessageMap();                                                      \
    const ::vq::MessageMap* GetMessageMap() const override {                                                 \
        return GetThisMessageMap();                                                                          \
    }

#define VQ_BEGIN_MESSAGE_MAP(cls, basecls)                                                                   \
    const ::vq::MessageMap* cls::GetThisMessageMap() {                                                       \
        using ThisClass = cls;                                                                               \
        using TheBase = basecls;                                                                             \
        static const ::vq::MessageMapEntry entries[] = {

#define VQ_END_MESSAGE_MAP()                                                                                 \
    { 0, 0, 0, 0, ::vq::MsgSig::end, nullptr }                                                               \
    }                                                                                                        \
    ;                                                                                                        \
    static_assert(std::is_base_of_v<TheBase, ThisClass>,                                                     \
                  "a message map's base class is a base of its class");                                      \
    static const ::vq::MessageMap map{&TheBase::GetThisMessageMap, entries};                                 \
    return &map;                                                                                             \
    }

#define VQ_ON_COMMAND_RANGE(first, last, fn)                                                                 \
    {::vq::WM_COMMAND,                                                                                       \
     ::vq::CN_COMMAND,                                                                                       \
     ::vq::UINT(first),                                                                                      \
     ::vq::UINT(last),                                                                                       \
     ::vq::MsgSig::command,                                                                                  \
     [](::vq::CCmdTarget& target, ::vq::WPARAM, ::vq::LPARAM, void*) -> ::vq::LRESULT {                      \
         (static_cast<ThisClass&>(target).*static_cast<void (ThisClass::*)()>(&ThisClass::fn))();            \
         return 0;                                                                                           \
     }},
#define VQ_ON_COMMAND(id, fn) VQ_ON_COMMAND_RANGE(id, id, fn)
#define VQ_ON_UPDATE_COMMAND_UI(id, fn)                                                                      \
    {::vq::WM_COMMAND,                                                                                       \
     ::vq::CN_UPDATE_COMMAND_UI,                                                                             \
     ::vq::UINT(id),                                                                                         \
     ::vq::UINT(id),                                                                                         \
     ::vq::MsgSig::commandUI,                                                                                \
     [](::vq::CCmdTarget& target, ::vq::WPARAM, ::vq::LPARAM, void* extra) -> ::vq::LRESULT {                \
         (static_cast<ThisClass&>(target).*static_cast<void (ThisClass::*)(::vq::CCmdUI*)>(&ThisClass::fn))( \
             static_cast<::vq::CCmdUI*>(extra));                                                             \
         return 0;                                                                                           \
     }},
#define VQ_ON_MESSAGE(msg, fn)                                                                               \
    {::vq::UINT(msg),                                                                                        \
     0,                                                                                                      \
     0,                                                                                                      \
     0,                                                                                                      \
     ::vq::MsgSig::message,                                                                                  \
     [](::vq::CCmdTarget& target, ::vq::WPARAM wParam, ::vq::LPARAM lParam, void*) -> ::vq::LRESULT {        \
         return (static_cast<ThisClass&>(target).*                                                           \
                 static_cast<::vq::LRESULT (ThisClass::*)(::vq::WPARAM, ::vq::LPARAM)>(&ThisClass::fn))(     \
             wParam, lParam);                                                                                \
     }},
// A message posted to the thread, taken by the application object whatever loop runs.
#define VQ_ON_THREAD_MESSAGE(msg, fn)                                                                        \
    {::vq::UINT(msg),                                                                                        \
     ::vq::CN_THREAD_MESSAGE,                                                                                \
     0,                                                                                                      \
     0,                                                                                                      \
     ::vq::MsgSig::message,                                                                                  \
     [](::vq::CCmdTarget& target, ::vq::WPARAM wParam, ::vq::LPARAM lParam, void*) -> ::vq::LRESULT {        \
         (static_cast<ThisClass&>(target).*                                                                  \
          static_cast<void (ThisClass::*)(::vq::WPARAM, ::vq::LPARAM)>(&ThisClass::fn))(wParam, lParam);     \
         return 0;                                                                                           \
     }},
// A notification code of WM_COMMAND handled by the control that sent it.
#define VQ_ON_CONTROL_REFLECT(code, fn)                                                                      \
    {::vq::WM_REFLECT_BASE + ::vq::WM_COMMAND,                                                               \
     int(code),                                                                                              \
     0,                                                                                                      \
     0,                                                                                                      \
     ::vq::MsgSig::reflectCommand,                                                                           \
     [](::vq::CCmdTarget& target, ::vq::WPARAM, ::vq::LPARAM, void*) -> ::vq::LRESULT {                      \
         (static_cast<ThisClass&>(target).*static_cast<void (ThisClass::*)()>(&ThisClass::fn))();            \
         return 0;                                                                                           \
     }},
