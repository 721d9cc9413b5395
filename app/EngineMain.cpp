// The monitor engine without a window: captures or replays, installs a fixed set of actions and
// prints their replies. See --help.

#include "app/EngineHarness.h"
#include "app/EngineOptions.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    vq::EngineOptions options;
    if (const auto error = vq::EngineOptions::Parse(argc, argv, options)) {
        std::fprintf(stderr, "vorquel-engine: %s (see --help)\n", error->c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(vq::EngineOptions::Usage(), stdout);
        return 0;
    }
    try {
        return vq::EngineHarness(options).Run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vorquel-engine: %s\n", error.what());
        return 1;
    }
}
