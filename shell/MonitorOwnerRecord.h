#pragma once

namespace vq {

class CDisplayDoc;

// The owner record of a display's monitor action: the action carries its address as identifier,
// and the record names the requesting document and the key the document gave the action. Records
// are known by identity while they exist, so a reply that outlived its record is recognised
// without reading it.
class MonitorOwnerRecord {
public:
    MonitorOwnerRecord(CDisplayDoc* document, int key);
    ~MonitorOwnerRecord();
    MonitorOwnerRecord(const MonitorOwnerRecord&) = delete;
    MonitorOwnerRecord& operator=(const MonitorOwnerRecord&) = delete;

    // The record an action's identifier names, or null when no such record exists now.
    static const MonitorOwnerRecord* Find(const void* identifier);

    CDisplayDoc* const m_Document;
    const int m_Key;
};

} // namespace vq
