#pragma once

#include "platform/classlib/DockState.h"
#include "toolkit/frames/TkControlBar.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class ArchiveReader;
class ArchiveWriter;
class CControlBar;
class CFrameWnd;
class TkControlBarManager;
class TkPersistentTreeNode;
class TkPTNFactory;

// A frame's docking layout - which bars exist, where they are docked or floating, their sizes,
// shares, styles and the rows of every dock bar - taken from the frame, kept in the application
// profile, a settings tree or an archive, read back and applied, making the bars the frame lacks.
// Stores are read as untrusted: counts are bounded, sizes limited, unknown classes refused.
class TkDockState : public CDockState {
    VQ_DECLARE_RUNTIME_CLASS(TkDockState)
public:
    // Records and ids per list read from a store at most; the rest are ignored.
    static constexpr std::size_t kMaxRecords = 1024;
    static constexpr std::size_t kMaxIds = CControlBarInfo::kMaxIds;

    TkDockState() = default;
    // `created` receives the bars made while applying; its owner deletes them with the frame.
    explicit TkDockState(TkControlBarManager* manager,
                         std::vector<std::unique_ptr<CControlBar>>* created = nullptr)
        : m_pManager(manager), m_pCreatedBars(created) {}

    // The toolkit's records, in place of the class library's: a frame's own GetDockState and
    // SetDockState leave them alone.
    std::vector<std::unique_ptr<TkControlBarInfo>> m_arrBarInfo;
    TkControlBarManager* m_pManager = nullptr;
    std::vector<std::unique_ptr<CControlBar>>* m_pCreatedBars = nullptr;

    virtual BOOL SaveStateToTree(TkPTNFactory* factory, TkPersistentTreeNode* parent);
    virtual BOOL SaveStateToProfile(const char* profile);
    virtual BOOL LoadStateFromTree(TkPersistentTreeNode* parent);
    virtual BOOL LoadStateFromProfile(const char* profile);
    virtual BOOL CaptureFrame(CFrameWnd* frame);
    virtual BOOL ApplyToFrame(CFrameWnd* frame);
    virtual std::unique_ptr<TkControlBarInfo> CreateBarInfo(TkControlBarManager* manager);
    virtual void CreateMissingBars(CFrameWnd* frame, BOOL mdiFrame);
    virtual void ApplyExtendedState(CFrameWnd* frame);
    virtual void RestoreMDIChildPlacements(CFrameWnd* frame);
    virtual CControlBar* CreateBarFromClassName(const std::string& className, CFrameWnd* frame,
                                                TkControlBarInfo* info);
    // The creatable class of exactly that name; null for none.
    virtual const RuntimeClass* FindRuntimeClass(const std::string& className);
    // Before saving: a bar keeps its placeholder only in its most recent dock bar, no id repeats
    // in a list, and every list ends with exactly one row end (a list of row ends only is empty).
    void CleanBarIdLists();

    // The archive form; loading replaces the records only once the whole stream was read, and a
    // short or malformed stream raises ArchiveException.
    void Store(ArchiveWriter& archive);
    void Load(ArchiveReader& archive);

private:
    // The manager given, else the frame's.
    TkControlBarManager* ManagerFor(CFrameWnd* frame);
    void ApplyRecords(CFrameWnd* frame);
};

} // namespace vq
