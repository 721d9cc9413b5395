#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <string>

namespace vq {

class ArchiveReader;
class ArchiveWriter;

// A device class: the picture and access test shared by the devices that belong to it.
class CCfgClass : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CCfgClass)

public:
    CCfgClass() { SetDefaults(); }
    // The copy has no name and is not new: the caller names it.
    CCfgClass(const CCfgClass& other);
    CCfgClass& operator=(const CCfgClass&) = delete;

    void SetDefaults();

    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    OleDateTime GetTestTime() const { return m_TestTime; }
    void SetTestTime(const OleDateTime& value) { m_TestTime = value; }
    bool GetPerformTest() const { return m_PerformTest; }
    void SetPerformTest(bool value) { m_PerformTest = value; }
    std::string GetBitmap() const { return m_Bitmap; }
    void SetBitmap(const std::string& value) { m_Bitmap = value; }
    std::string GetDescription() const { return m_Description; }
    void SetDescription(const std::string& value) { m_Description = value; }
    std::string GetName() const { return m_Name; }
    void SetName(const std::string& value);

    void Serialize(ArchiveWriter& archive) const;
    // Reads the whole form before storing any of it, so a short or malformed archive raises
    // ArchiveException and leaves the record as it was.
    void Serialize(ArchiveReader& archive);

private:
    bool m_New;
    OleDateTime m_TestTime;
    bool m_PerformTest;
    std::string m_Bitmap;
    std::string m_Description;
    std::string m_Name;
};

} // namespace vq
