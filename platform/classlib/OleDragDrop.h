#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/DragDrop.h"

#include <string>

namespace vq {

// The data a drag offers, filled before the drag starts.
class COleDataSource {
public:
    void CacheGlobalData(UINT format, std::string bytes) { m_data.Set(format, std::move(bytes)); }
    // The effect the drop had, of those allowed; DROPEFFECT_NONE when it was cancelled or refused.
    DWORD DoDragDrop(DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE) const {
        return ::vq::DoDragDrop(m_data, allowed);
    }

private:
    DragData m_data;
};

// The data of a drag as a target sees it, valid while the target is being told of it.
class COleDataObject {
public:
    explicit COleDataObject(const DragData* data = nullptr) : m_pData(data) {}
    BOOL IsDataAvailable(UINT format) const { return m_pData && m_pData->Has(format); }
    std::optional<std::string> GetData(UINT format) const {
        return m_pData ? m_pData->Get(format) : std::nullopt;
    }

private:
    const DragData* m_pData;
};

// A window's drop target: the four steps of a drag over it, with points in the window's client
// area. The base refuses everything.
class COleDropTarget : public DropTarget {
public:
    COleDropTarget() = default;
    ~COleDropTarget() override { Revoke(); }
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    BOOL Register(CWnd* window);
    void Revoke();

    virtual DWORD OnDragEnter(CWnd* window, COleDataObject* data, DWORD keys, POINT point);
    virtual DWORD OnDragOver(CWnd* window, COleDataObject* data, DWORD keys, POINT point);
    virtual void OnDragLeave(CWnd* window);
    virtual BOOL OnDrop(CWnd* window, COleDataObject* data, DWORD effect, POINT point);

    DWORD DragEnter(HWND window, const DragData& data, DWORD keys, POINT screen, DWORD allowed) override;
    DWORD DragOver(HWND window, DWORD keys, POINT screen, DWORD allowed) override;
    void DragLeave(HWND window) override;
    DWORD Drop(HWND window, const DragData& data, DWORD keys, POINT screen, DWORD allowed) override;

protected:
    HWND m_hWnd = 0;
    // The data of the drag under way, from enter to leave or drop.
    const DragData* m_pDragData = nullptr;
    DWORD m_lastEffect = DROPEFFECT_NONE;
};

} // namespace vq
