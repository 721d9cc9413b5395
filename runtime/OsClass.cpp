#include "runtime/OsClass.h"

#include "platform/sys/SystemVersion.h"
#include "runtime/GlobalState.h"

namespace vq {

int GetOsClass() {
    auto& cached = TheGlobalState().m_OsClass;
    if (int osClass = cached.load()) return osClass;
    const int osClass = SystemVersionClass();
    if (osClass != 0) cached.store(osClass);
    return osClass;
}

bool IsOsClass95() {
    return GetOsClass() == 2;
}
bool IsOsClass98() {
    return GetOsClass() == 3;
}
bool IsOsClassNT4() {
    return GetOsClass() == 4;
}
bool IsOsClassNT5() {
    return GetOsClass() == 5;
}

} // namespace vq
