#include "platform/gui/Beep.h"

#include <QApplication>
#include <QThread>
#include <mutex>

namespace vq {

namespace {

struct HookSlot {
    std::mutex mutex;
    BeepHook hook;
};

HookSlot& Slot() {
    static HookSlot slot;
    return slot;
}

} // namespace

BOOL MessageBeep(UINT type) {
    BeepHook hook;
    {
        std::lock_guard lock(Slot().mutex);
        hook = Slot().hook;
    }
    if (hook) hook(type);
    if (auto* app = qApp) {
        // The sound belongs to the GUI thread; a worker's beep is handed to it.
        if (QThread::currentThread() == app->thread())
            QApplication::beep();
        else
            QMetaObject::invokeMethod(
                app, [] { QApplication::beep(); }, Qt::QueuedConnection);
    }
    return TRUE;
}

BeepHook SetBeepHook(BeepHook hook) {
    std::lock_guard lock(Slot().mutex);
    std::swap(Slot().hook, hook);
    return hook;
}

} // namespace vq
