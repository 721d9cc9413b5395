#pragma once

#include "runtime/ThreadMessage.h"

#include <cstdint>
#include <string>

namespace vq {

// The program-wide report of a failure or a status, sent to the main thread.
class NotificationThreadMessage : public ThreadMessage {
    VQ_DECLARE_RUNTIME_CLASS(NotificationThreadMessage)

public:
    // Format flags: a set bit leaves the part out, except FORMAT_NEWLINE, which adds one.
    enum FormatFlags : std::uint32_t {
        FORMAT_NO_CLASS = 1,
        FORMAT_NO_METHOD = 2,
        FORMAT_NO_DETAIL = 4,
        FORMAT_NO_FILE = 8,
        FORMAT_NO_LINE = 16,
        FORMAT_NO_TEXT = 32,
        FORMAT_NEWLINE = 64,
    };

    // Null texts are taken as empty ones.
    NotificationThreadMessage(int severity, int value, const char* text, const char* className,
                              const char* methodName, const char* detail, const char* file, int line,
                              bool wantsReply, bool receiverDeletes);
    NotificationThreadMessage(const NotificationThreadMessage& request);

    bool SendReply() override;
    const char* GetClassName() const override;
    bool IsTraceEnabled() const override;

    // The report as one text; the last result is kept for the same flags.
    const std::string& Format(std::uint32_t flags);

    int GetSeverity() const { return m_Severity; }
    int GetValue() const { return m_Value; }
    int GetExceptionIndex() const { return m_ExceptionIndex; }
    const std::string& GetText() const { return m_Text; }
    const std::string& GetClassNameText() const { return m_ClassName; }
    const std::string& GetMethodName() const { return m_MethodName; }
    const std::string& GetDetail() const { return m_Detail; }
    const std::string& GetFile() const { return m_File; }
    const std::string& GetLineText() const { return m_LineText; }
    int GetLine() const { return m_Line; }
    const std::string& GetFormattedText() const { return m_FormattedText; }
    std::uint32_t GetFormatFlags() const { return m_FormatFlags; }

    static std::atomic<bool> s_TraceEnabled;

private:
    friend NotificationThreadMessage& GetFixedReport(int index);
    NotificationThreadMessage(FixedTag, int severity, int exceptionIndex, const char* classText);

    int m_Severity;
    int m_Value;
    int m_ExceptionIndex = 0;
    std::string m_ClassName;
    std::string m_MethodName;
    std::string m_Detail;
    std::string m_File;
    std::string m_LineText;
    int m_Line;
    std::string m_Text;
    std::string m_FormattedText;
    std::uint32_t m_FormatFlags = 0;
};

// The thirteen fixed reports by exception index, one per exception kind, built before any thread
// needs them so that reporting never allocates. Nothing deletes them.
inline constexpr int kFixedReportCount = 13;
enum FixedReportIndex : int {
    REPORT_NO_EXCEPTION = 0,
    REPORT_MEMORY = 1,
    REPORT_FILE = 2,
    REPORT_ARCHIVE = 3,
    REPORT_RESOURCE = 4,
    REPORT_USER = 5,
    REPORT_NOT_SUPPORTED = 6,
    REPORT_OLE = 7,
    REPORT_OLE_DISPATCH = 8,
    REPORT_INTERNET = 9,
    REPORT_DAO = 10,
    REPORT_DB = 11,
    REPORT_UNKNOWN = 12,
};
NotificationThreadMessage& GetFixedReport(int index);

// A report that no one answers and the receiver deletes; null when memory runs out.
NotificationThreadMessage* CreateNotification(int severity, int value, const char* text,
                                              const char* className, const char* methodName,
                                              const char* detail, const char* file, int line);
// Sends the report to the main thread object. Never deletes it; severity 0 answers true and
// sends nothing.
bool SendNotification(NotificationThreadMessage* report);
// The report call of the whole program. A report that is not sent stays in the message pool.
bool PostNotification(int severity, int value, const char* text, const char* className,
                      const char* methodName, const char* detail, const char* file, int line);

} // namespace vq
