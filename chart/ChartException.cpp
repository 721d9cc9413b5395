#include "chart/ChartException.h"

#include "chart/ChartResources.h"
#include "platform/gui/MessageBox.h"
#include "platform/res/Resources.h"

#include <array>
#include <string>

namespace vq {
namespace {

// The text of each code, by code; codes beyond the table take the default text.
constexpr std::array<std::uint32_t, 24> kStringIds = {
    53512, 53560, 53561, 53562, 53563, 53564, 53513, 53524, 53565, 53566, 53567, 53511,
    53568, 53569, 53570, 53514, 53515, 53516, 53519, 53520, 53518, 53521, 53522, 53523,
};
constexpr std::uint32_t kDefaultStringId = 53517;
constexpr unsigned kReportBufferSize = 256;

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartException, Object)

ChartException::ChartException(int code) : Exception("chart error " + std::to_string(code)), m_code(code) {}

std::uint32_t ChartException::GetDefaultStringId() const {
    return kDefaultStringId;
}

std::uint32_t ChartException::GetStringId() const {
    if (m_code < 0 || m_code >= static_cast<int>(kStringIds.size())) return GetDefaultStringId();
    return kStringIds[static_cast<std::size_t>(m_code)];
}

bool ChartException::GetErrorMessage(char* buffer, unsigned size, std::uint32_t* helpId) const {
    if (!buffer || size == 0) return false;
    const std::uint32_t id = GetStringId();
    if (m_code != 0 && LoadString(id, buffer, static_cast<int>(size)) > 0) {
        if (helpId) *helpId = id;
        return true;
    }
    buffer[0] = '\0';
    if (helpId) *helpId = 0;
    return false;
}

void RaiseChartError(int code) {
    throw ChartException(code);
}

void ReportChartError(const ChartException& error) {
    char text[kReportBufferSize];
    error.GetErrorMessage(text, sizeof text);
    MessageBox(0, text, kChartMessageCaption, MB_OK | MB_ICONWARNING);
}

} // namespace vq
