#include "runtime/NotificationThreadMessage.h"

#include "runtime/EngineGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/ThreadObject.h"

#include <array>
#include <new>
#include <string>

namespace vq {
namespace {

std::string TextOrEmpty(const char* text) {
    return text ? std::string(text) : std::string();
}

struct FixedReportRow {
    const char* text;
    int severity;
};

constexpr std::array<FixedReportRow, kFixedReportCount> kFixedReports{{
    {"NoException", 3},
    {"CMemoryException", 6},
    {"CFileException", 3},
    {"CArchiveException", 3},
    {"CResourceException", 3},
    {"CUserException", 3},
    {"CNotSupportedException", 3},
    {"COleException", 3},
    {"COleDispatchException", 3},
    {"CInternetException", 3},
    {"CDaoException", 3},
    {"CDBException", 3},
    {"UnknownException", 0},
}};

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(NotificationThreadMessage, ThreadMessage)

std::atomic<bool> NotificationThreadMessage::s_TraceEnabled{false};

NotificationThreadMessage::NotificationThreadMessage(int severity, int value, const char* text,
                                                     const char* className, const char* methodName,
                                                     const char* detail, const char* file, int line,
                                                     bool wantsReply, bool receiverDeletes)
    : ThreadMessage(WM_General_Notify, wantsReply, receiverDeletes), m_Severity(severity), m_Value(value),
      m_ClassName(TextOrEmpty(className)), m_MethodName(TextOrEmpty(methodName)),
      m_Detail(TextOrEmpty(detail)), m_File(TextOrEmpty(file)),
      m_LineText(line >= 0 ? std::to_string(line) : std::string()), m_Line(line), m_Text(TextOrEmpty(text)) {}

NotificationThreadMessage::NotificationThreadMessage(const NotificationThreadMessage& request)
    : ThreadMessage(request), m_Severity(request.m_Severity), m_Value(request.m_Value),
      m_ExceptionIndex(request.m_ExceptionIndex), m_ClassName(request.m_ClassName),
      m_MethodName(request.m_MethodName), m_Detail(request.m_Detail), m_File(request.m_File),
      m_LineText(request.m_LineText), m_Line(request.m_Line), m_Text(request.m_Text),
      m_FormattedText(request.m_FormattedText), m_FormatFlags(request.m_FormatFlags) {}

NotificationThreadMessage::NotificationThreadMessage(FixedTag tag, int severity, int exceptionIndex,
                                                     const char* classText)
    : ThreadMessage(tag, WM_General_Notify), m_Severity(severity), m_Value(0),
      m_ExceptionIndex(exceptionIndex), m_Line(-1), m_Text(classText) {
    try {
        Format(FORMAT_NO_CLASS | FORMAT_NO_METHOD | FORMAT_NO_FILE | FORMAT_NO_LINE | FORMAT_NEWLINE);
    } catch (const std::bad_alloc&) {
    }
}

bool NotificationThreadMessage::SendReply() {
    NotificationThreadMessage* answer;
    try {
        answer = new NotificationThreadMessage(*this);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return Reply(answer);
}

const char* NotificationThreadMessage::GetClassName() const {
    return "NotificationThreadMessage";
}

bool NotificationThreadMessage::IsTraceEnabled() const {
    return TraceEnabledWith(s_TraceEnabled.load());
}

const std::string& NotificationThreadMessage::Format(std::uint32_t flags) {
    if (!m_FormattedText.empty() && flags == m_FormatFlags) return m_FormattedText;
    std::string text;
    m_FormatFlags = flags;

    if ((flags & (FORMAT_NO_CLASS | FORMAT_NO_METHOD)) != (FORMAT_NO_CLASS | FORMAT_NO_METHOD)) {
        const bool withClass = !(flags & FORMAT_NO_CLASS) && !m_ClassName.empty();
        const bool withMethod = !(flags & FORMAT_NO_METHOD) && !m_MethodName.empty();
        if (withClass) text += m_ClassName;
        if (withMethod) {
            text += "::";
            text += m_MethodName;
            if (!(flags & FORMAT_NO_DETAIL) && !m_Detail.empty()) text += "(" + m_Detail + ")";
        }
        if (withClass || withMethod) text += " -- ";
    }
    if (!(flags & FORMAT_NO_TEXT)) text += m_Text;
    if ((flags & (FORMAT_NO_FILE | FORMAT_NO_LINE)) != (FORMAT_NO_FILE | FORMAT_NO_LINE)) {
        const bool withFile = !(flags & FORMAT_NO_FILE) && !m_File.empty();
        const bool withLine = !(flags & FORMAT_NO_LINE) && !m_LineText.empty();
        if (withFile && withLine)
            text += "(at " + m_File + ":" + m_LineText + ")";
        else if (withFile)
            text += "(in " + m_File + ")";
        else if (withLine)
            text += "(at line " + m_LineText + ")";
    }
    if (flags & FORMAT_NEWLINE) text += "\n";
    m_FormattedText = std::move(text);
    return m_FormattedText;
}

NotificationThreadMessage& GetFixedReport(int index) {
    using Report = NotificationThreadMessage;
    static Report* const* const reports = [] {
        // Built once and never destroyed: a worker may still hand one to the main thread while
        // the process ends.
        static Report* built[kFixedReportCount];
        for (int i = 0; i < kFixedReportCount; ++i)
            built[i] = new Report(Report::FixedTag{}, kFixedReports[i].severity, i, kFixedReports[i].text);
        return built;
    }();
    return *reports[index];
}

NotificationThreadMessage* CreateNotification(int severity, int value, const char* text,
                                              const char* className, const char* methodName,
                                              const char* detail, const char* file, int line) {
    try {
        return new NotificationThreadMessage(severity, value, text, className, methodName, detail, file, line,
                                             false, true);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool SendNotification(NotificationThreadMessage* report) {
    if (!report) return false;
    if (report->GetSeverity() == 0) return true;
    return report->Send(Engine().m_ThreadPool.GetMainThread());
}

bool PostNotification(int severity, int value, const char* text, const char* className,
                      const char* methodName, const char* detail, const char* file, int line) {
    return SendNotification(
        CreateNotification(severity, value, text, className, methodName, detail, file, line));
}

} // namespace vq
