// Reads arbitrary text as a chart template, then writes every component it made back: malformed
// lines must end in a chart error that stops the reading, never in a crash or a huge allocation.
#include "chart/Chart.h"
#include "platform/gui/MessageBox.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class SilentBoxes : public vq::MessageBoxProvider {
public:
    int Show(vq::HWND, const std::string&, const std::string&, vq::UINT) override { return 1; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vq;
    static SilentBoxes boxes;
    SetMessageBoxProvider(&boxes);
    Chart chart;
    chart.ReadTemplateText(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string lines;
    for (auto& component : chart.GetComponentList())
        component->WriteTemplate(lines);
    Chart again;
    again.ReadTemplateText(lines);
    return 0;
}
