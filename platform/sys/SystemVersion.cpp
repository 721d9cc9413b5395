#include "platform/sys/SystemVersion.h"

namespace vq {

int SystemVersionClass() {
    return 5;
}

} // namespace vq
