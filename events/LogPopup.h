#pragma once

#include "platform/classlib/Dialog.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vq {

struct NotificationJob;

// The "Event Report" pop-up of one announced entry, which it knows by its event's serial. A
// modeless pop-up deletes itself when its window goes; a modal one ends its loop. Either way the
// log is told, so that the entry forgets it.
class LogPopup : public CDialog {
public:
    static constexpr UINT kDateTime = 1175;
    static constexpr UINT kObject = 1176;
    static constexpr UINT kEvent = 1177;
    static constexpr UINT kUserText = 1178;
    static constexpr UINT kLevelText = 1179;
    using GoneCall = std::function<void(LogPopup& popup)>;

    LogPopup(const NotificationJob& job, bool modal, GoneCall gone);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    std::uint64_t GetSerial() const { return m_Serial; }
    bool IsModal() const { return m_Modal; }

    std::string m_DateTimeText;
    std::string m_EventText;
    std::string m_ObjectText;
    std::string m_UserText;
    std::string m_LevelText;

protected:
    void PostNcDestroy() override;

private:
    void Close();

    std::uint64_t m_Serial;
    bool m_Modal;
    GoneCall m_Gone;
};

} // namespace vq
