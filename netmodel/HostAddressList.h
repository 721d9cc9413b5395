#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vq {

class HostAddress;

// Hosts filed together in an index element; the element does not own them. Nearly every list holds
// one host, which is kept in place: such a list costs no allocation of its own, and reading it no
// second look-up.
class HostAddressList {
public:
    using value_type = HostAddress*;
    using iterator = HostAddress**;
    using const_iterator = HostAddress* const*;

    HostAddressList() = default;
    HostAddressList(std::initializer_list<HostAddress*> hosts) {
        for (HostAddress* host : hosts)
            push_back(host);
    }

    iterator begin() { return data(); }
    iterator end() { return data() + size(); }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size(); }
    size_t size() const { return m_More.empty() ? m_Single : m_More.size(); }
    bool empty() const { return size() == 0; }
    HostAddress* front() const { return *begin(); }
    HostAddress* operator[](size_t index) const { return begin()[index]; }

    // Strong guarantee: out of memory leaves the list as it was.
    void push_back(HostAddress* host) {
        if (m_More.empty() && m_Single == 0) {
            m_One = host;
            m_Single = 1;
            return;
        }
        if (m_More.empty()) {
            m_More.reserve(2);
            m_More.push_back(m_One);
            m_Single = 0;
        }
        m_More.push_back(host);
    }
    void pop_back() { erase(end() - 1); }
    iterator erase(iterator position) {
        if (m_More.empty()) {
            m_Single = 0;
            return begin();
        }
        const auto offset = position - m_More.data();
        m_More.erase(m_More.begin() + offset);
        return data() + offset;
    }

    friend bool operator==(const HostAddressList& a, const HostAddressList& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) return false;
        return true;
    }

private:
    HostAddress** data() { return m_More.empty() ? &m_One : m_More.data(); }
    HostAddress* const* data() const { return m_More.empty() ? &m_One : m_More.data(); }

    // One host in place while `m_More` is empty; from the second on, all of them in `m_More`.
    HostAddress* m_One = nullptr;
    uint32_t m_Single = 0;
    std::vector<HostAddress*> m_More;
};

} // namespace vq
