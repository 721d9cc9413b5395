#include "config/CCfgLogGroup.h"

namespace vq {

// A copy is a record that was never stored, whatever the original was.
CCfgLogGroup::CCfgLogGroup(const CCfgLogGroup& other)
    : m_Description(other.m_Description), m_Name(other.m_Name) {}

} // namespace vq
