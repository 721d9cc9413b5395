// Parses arbitrary text as a shape and compiles, places and fits what it read: malformed text must
// end in chart error 19, never in a crash.
#include "chart/ChartCompiledPolygon.h"
#include "chart/ChartException.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vq;
    try {
        auto shape = ParseChartShape(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
        shape->Compile();
        shape->SetRotation(33);
        shape->SetXScale(1e6);
        shape->Place(1e9f, -1e9f);
        shape->FitToRect(RECT{0, 0, 100, 50});
    } catch (const ChartException& error) {
        // Error 19 is the answer for text that is not a shape.
        if (error.GetCode() != 19) __builtin_trap();
    }
    return 0;
}
