#pragma once

#include <string>

namespace vq {

// A log group: the named set of levels that configured events report to.
class CCfgLogGroup {
public:
    CCfgLogGroup() = default;
    CCfgLogGroup(const CCfgLogGroup& other);
    CCfgLogGroup& operator=(const CCfgLogGroup&) = delete;
    virtual ~CCfgLogGroup() = default;

    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    std::string GetDescription() const { return m_Description; }
    void SetDescription(const std::string& value) { m_Description = value; }
    std::string GetName() const { return m_Name; }
    void SetName(const std::string& value) { m_Name = value; }

private:
    bool m_New = true;
    std::string m_Description;
    std::string m_Name;
};

} // namespace vq
