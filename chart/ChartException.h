#pragma once

#include "platform/core/Exceptions.h"
#include "platform/core/RuntimeClass.h"

#include <cstdint>

namespace vq {

// A failure inside the chart library. Codes 2 and 3 (no such group, no such item) are expected:
// the chart's own readers skip them; other codes reach the user as the code's text.
class ChartException : public Exception, public Object {
    VQ_DECLARE_RUNTIME_CLASS(ChartException)

public:
    // A chart exception made from its class record has code 0.
    explicit ChartException(int code = 0);

    int GetCode() const { return m_code; }

    // Copies the code's text (cut to size - 1 characters and terminated) and answers true; false
    // with an emptied buffer for code 0 or a text the resources lack. The help id, when asked
    // for, becomes the string id, or 0 on failure.
    virtual bool GetErrorMessage(char* buffer, unsigned size, std::uint32_t* helpId = nullptr) const;
    virtual std::uint32_t GetDefaultStringId() const;
    virtual std::uint32_t GetStringId() const;

private:
    int m_code;
};

[[noreturn]] void RaiseChartError(int code);

// Shows the error's text in a message box with the exclamation icon.
void ReportChartError(const ChartException& error);

} // namespace vq
