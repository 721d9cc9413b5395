#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/WindowSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class ArchiveReader;
class ArchiveWriter;
class CControlBar;
class CDockBar;
class CDockState;
class CFrameWnd;

// Where a bar record's keys go to and come from. The profile keeps booleans as integers; other
// stores may keep them their own way under the same keys.
class CBarInfoKeys {
public:
    virtual ~CBarInfoKeys() = default;
    virtual void PutInt(const char* key, std::int64_t value) = 0;
    virtual void PutBool(const char* key, bool value) = 0;
    virtual void PutText(const char* key, const std::string& value) = 0;
    virtual void PutBytes(const char* key, const std::uint8_t* data, std::size_t size) = 0;
    // False when the key is missing or holds no number.
    virtual bool GetInt(const char* key, std::int64_t& value) = 0;
    virtual bool GetBool(const char* key, bool fallback) = 0;
    virtual std::string GetText(const char* key) = 0;
    virtual std::vector<std::uint8_t> GetBytes(const char* key) = 0;

    std::int32_t Int(const char* key, std::int32_t fallback);
    std::uint32_t UInt(const char* key, std::uint32_t fallback);
};

// The keys of one section of the application profile.
class CProfileBarInfoKeys : public CBarInfoKeys {
public:
    explicit CProfileBarInfoKeys(std::string section) : m_strSection(std::move(section)) {}

    void PutInt(const char* key, std::int64_t value) override;
    void PutBool(const char* key, bool value) override;
    void PutText(const char* key, const std::string& value) override;
    void PutBytes(const char* key, const std::uint8_t* data, std::size_t size) override;
    bool GetInt(const char* key, std::int64_t& value) override;
    bool GetBool(const char* key, bool fallback) override;
    std::string GetText(const char* key) override;
    std::vector<std::uint8_t> GetBytes(const char* key) override;

private:
    std::string m_strSection;
};

// The record of one bar or dock bar in a saved layout: where it is, whether it shows, where it
// last docked and floated, and for a dock bar the ids of its entries (a bar's id, a placeholder's
// id plus 0x10000, 0 for a row end).
struct CControlBarInfo {
    CControlBarInfo() = default;
    virtual ~CControlBarInfo() = default;
    CControlBarInfo(const CControlBarInfo&) = delete;
    CControlBarInfo& operator=(const CControlBarInfo&) = delete;

    // Ids per list read from a store at most; the rest are ignored.
    static constexpr std::size_t kMaxIds = 1024;

    UINT m_nBarID = 0;
    BOOL m_bVisible = FALSE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = FALSE;
    BOOL m_bDockBar = FALSE;
    POINT m_pointPos{-1, -1};
    std::int32_t m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE;
    UINT m_uMRUDockID = 0;
    RECT m_rectMRUDockPos{0, 0, 0, 0};
    DWORD m_dwMRUFloatStyle = 0;
    POINT m_ptMRUFloatPos{-1, -1};
    std::vector<std::uint32_t> m_arrBarID;
    // The bar the record was taken from or is applied to, while that goes on.
    CControlBar* m_pBar = nullptr;

    // A visible dock bar along a side that holds at most one entry has nothing worth keeping.
    BOOL IsSaved() const;
    // The keys, each left out where its default says it all. Loading scales the stored positions
    // to the current screen and reads no more than kMaxIds ids.
    void SaveKeys(CBarInfoKeys& keys) const;
    void LoadKeys(CBarInfoKeys& keys, const CDockState* state);
    // The keys in a profile section; FALSE, writing nothing, for a record not worth keeping.
    BOOL SaveState(const std::string& section) const;
    BOOL LoadState(const std::string& section, const CDockState* state);
    // The archive form, in two parts between which a derived record may put its own: first the
    // place and the most recent docking (only from version 2), then the ids. A short stream
    // raises ArchiveException.
    void StorePlace(ArchiveWriter& archive, std::uint32_t version) const;
    void LoadPlace(ArchiveReader& archive, const CDockState* state, std::uint32_t version);
    void StoreIds(ArchiveWriter& archive) const;
    void LoadIds(ArchiveReader& archive);
};

// A frame's docking layout as it was saved: its records, the screen size it was saved on, to
// which the stored positions belong, and the version of its archive form (2 once loaded).
class CDockState : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CDockState)
public:
    std::uint32_t m_dwVersion = 2;
    // The records a frame's GetDockState takes and SetDockState applies.
    std::vector<std::unique_ptr<CControlBarInfo>> m_arrBarInfo;

    // The size of the screen the positions were saved on; 0 when unknown.
    void SetScreenSize(SIZE saved) { m_sizeScreen = saved; }
    SIZE GetSavedScreenSize() const { return m_sizeScreen; }
    // The screen the layout is saved on or applied to now.
    static SIZE GetScreenSize();
    // A stored position on the current screen: each axis scaled by current / saved when the
    // saved size is known and differs; -1 (no position) stays -1.
    POINT ScalePoint(POINT stored) const;
    RECT ScaleRect(const RECT& stored) const;

private:
    SIZE m_sizeScreen{0, 0};
};

// The empty dock bar of a floating frame just made, ready for a record; null when it has none.
CDockBar* EmptyFloatingDockBar(CFrameWnd* floating);

// Over the records of the dock bars found, in order: a bar goes into the first list that names
// it, and later lists hold a placeholder for it, so that a damaged store puts no bar in two dock
// bars.
void KeepFirstListOfEachBar(const std::vector<CControlBarInfo*>& records);

// A floating frame placed so that its client area starts at the recorded point, without sizing
// or activation, and shown when its dock bar shows a bar.
void PlaceFloatingFrameAt(CFrameWnd* floating, POINT recorded);

} // namespace vq
