// Feeds arbitrary pictures to the date/time field parser, then arbitrary field events to the
// gadgets it built, and checks that the gadgets are sound and the value never leaves its span.

#include "toolkit/controls/TkDTGadget.h"
#include "toolkit/controls/TkDateTimeCtrl.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

class FuzzCtrl : public vq::TkDateTimeCtrl {
public:
    std::uint32_t style = 0;
    std::uint32_t GetControlStyle() const override { return style; }
    bool HasWindow() const override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the style and the read-only mask, the picture runs to the first NUL,
    // and the bytes after it are events.
    if (size == 0) return 0;
    FuzzCtrl ctrl;
    ctrl.style = data[0] & 0x30;
    ctrl.SetReadOnlyFields(data[0] & 0x3F);
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t end = input.find('\0');
    ctrl.SetFormat(input.substr(0, end));
    if ((data[0] & 0x40) != 0) ctrl.SetNull();

    std::size_t literalBytes = 0;
    for (std::size_t i = 0; i < ctrl.GetGadgetCount(); ++i) {
        const vq::TkDTGadget* gadget = ctrl.GetGadget(i);
        Check(gadget != nullptr);
        if (gadget->GetId() == -1) {
            Check(!gadget->GetText().empty());
            literalBytes += gadget->GetText().size();
        }
    }
    Check(literalBytes <= input.size());

    for (std::size_t k = end == std::string::npos ? input.size() : end + 1; k + 2 < input.size(); k += 3) {
        const std::size_t count = ctrl.GetGadgetCount();
        if (count == 0) break;
        const vq::TkDTGadget* gadget = ctrl.GetGadget(std::uint8_t(input[k]) % count);
        const int event = 1 + std::uint8_t(input[k + 1]) % 9;
        const int value = std::int8_t(input[k + 2]) * 97;
        ctrl.OnGadgetEvent(event, gadget->GetId(), value);
        if (!ctrl.IsPending()) {
            vq::TkDateTimeFields fields;
            Check(vq::TkDateTimeCtrl::BreakDateTime(ctrl.GetDateTime(), fields));
        }
    }
    return 0;
}
