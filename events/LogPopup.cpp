#include "events/LogPopup.h"

#include "events/NotificationJob.h"
#include "events/ProgramArguments.h"

namespace vq {
namespace {

DialogTemplate PopupTemplate() {
    DialogTemplate t;
    t.caption = "Event Report";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    t.rect = {40, 40, 400, 250};
    const struct {
        const char* label;
        UINT id;
        int top;
    } rows[] = {{"Date/Time", LogPopup::kDateTime, 12},
                {"Event", LogPopup::kEvent, 40},
                {"Object", LogPopup::kObject, 68},
                {"User Event Text", LogPopup::kUserText, 96},
                {"LevelText", LogPopup::kLevelText, 124}};
    for (const auto& row : rows) {
        t.items.push_back(
            {"Static", row.label, UINT(0xFFFF), WS_CHILD | WS_VISIBLE, {10, row.top, 110, row.top + 20}});
        t.items.push_back({"Static", "", row.id, WS_CHILD | WS_VISIBLE, {116, row.top, 350, row.top + 20}});
    }
    t.items.push_back({"Button",
                       "OK",
                       UINT(IDOK),
                       WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                       {140, 160, 220, 186}});
    return t;
}

} // namespace

LogPopup::LogPopup(const NotificationJob& job, bool modal, GoneCall gone)
    : CDialog(PopupTemplate()), m_DateTimeText(NotificationTime(job)), m_EventText(job.m_TypeName),
      m_ObjectText(job.m_ObjectName), m_UserText(job.m_UserMessage), m_LevelText(job.m_DialogMessage),
      m_Serial(job.m_Serial), m_Modal(modal), m_Gone(std::move(gone)) {}

BOOL LogPopup::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const auto& [id, text] : {std::pair{kDateTime, &m_DateTimeText}, std::pair{kEvent, &m_EventText},
                                   std::pair{kObject, &m_ObjectText}, std::pair{kUserText, &m_UserText},
                                   std::pair{kLevelText, &m_LevelText}})
        ::vq::SetWindowText(::vq::GetDlgItem(m_hWnd, int(id)), text->c_str());
    return TRUE;
}

void LogPopup::OnOK() {
    Close();
}

// The close request of the window or of the log ends the pop-up as OK does.
void LogPopup::OnCancel() {
    Close();
}

void LogPopup::Close() {
    if (m_Modal) {
        EndDialog(IDOK);
        if (m_Gone) m_Gone(*this);
        return;
    }
    DestroyWindow();
}

void LogPopup::PostNcDestroy() {
    if (m_Modal) return;
    if (m_Gone) m_Gone(*this);
    delete this;
}

} // namespace vq
