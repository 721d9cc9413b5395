#include "netmodel/IntegrityText.h"

namespace vq {

std::string& IntegrityText() {
    static std::string text;
    return text;
}

} // namespace vq
