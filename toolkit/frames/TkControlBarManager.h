#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/WindowSystem.h"

#include <memory>

namespace vq {

class CControlBar;
class CFrameWnd;
class TkPersistentTreeNode;
class TkPTNFactory;
using TkPersistentTreeNodeFactory = TkPTNFactory;
struct TkControlBarInfo;

// What a frame's bar manager is asked by the dock state: the type of a bar, an extension of a
// bar's record, a bar the frame lacks, and its own settings beside the dock state. The base does
// no work; managers that make bars of their own derive from it.
class TkControlBarManager : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkControlBarManager)
public:
    TkControlBarManager() = default;
    explicit TkControlBarManager(CFrameWnd* frame) : m_pFrameWnd(frame) {}

    virtual CFrameWnd* GetFrameWnd() const { return m_pFrameWnd; }
    virtual BOOL LoadStateFromTree(TkPersistentTreeNode* parent) { return parent != nullptr; }
    virtual void LoadStateFromProfile(const char*) {}
    virtual BOOL SaveStateToTree(TkPersistentTreeNodeFactory*, TkPersistentTreeNode* parent) {
        return parent != nullptr;
    }
    virtual void SaveStateToProfile(const char*) {}
    // A non-zero type for bars this manager can make again.
    virtual UINT GetBarTypeId(CControlBar*) { return 0; }
    // The extension of a record of that type; null for none.
    virtual std::unique_ptr<Object> CreateBarInfoEx(TkControlBarInfo*) { return nullptr; }
    // The bar of a record whose bar the frame does not have; null when it cannot be made.
    virtual CControlBar* CreateBarFromInfo(TkControlBarInfo*) { return nullptr; }

private:
    CFrameWnd* m_pFrameWnd = nullptr;
};

} // namespace vq
