#pragma once

#include "netmodel/NameKey.h"
#include "netmodel/SafeObject.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vq {

// An address that can carry the names resolved for it: name 0 is the primary name, the others aliases.
class NameEntry : public SafeObject {
public:
    enum LookupState : int32_t {
        LookupInvalid = -1,
        LookupNone = 0,
        LookupRequested = 1,
        LookupInProgress = 2,
        LookupResolved = 128,
        LookupFailed = 129,
        LookupTimedOut = 130,
    };

    ~NameEntry() override = default;

    // Zeroes the address bytes, sets the lookup state, forgets the cached text and every name.
    virtual void Reset(int lookupState);
    virtual const uint8_t* GetAddressBytes() const = 0;
    virtual int GetAddressLength() const = 0;
    virtual std::string FormatText() const = 0;
    virtual std::optional<std::string> GetBuiltInName() const { return std::nullopt; }
    virtual NameKey GetTableKey() const = 0;
    // Mode with both low bits set: "name(address)"; any other mode: the address text.
    virtual std::string GetDisplayText(int mode) const;

    const std::string& GetText() const;
    std::string GetName(int index) const;
    std::string GetNameAt(int index) const;
    void SetNameAt(std::string_view name, int index);
    void AddAlias(std::string_view name);
    int GetNameCount() const { return static_cast<int>(names_.size()); }

    int GetLookupState() const { return lookupState_; }
    void SetLookupState(int state) { lookupState_ = state; }
    bool IsValid() const { return lookupState_ != LookupInvalid; }

    // Checks a look-up reply value (error code in the high 16 bits, the buffer size it needed in the
    // low 16): true on success; `retry` tells whether the failure is worth repeating. Failures that
    // point at a fault are reported.
    static bool CheckError(uint32_t replyValue, bool& retry);

protected:
    NameEntry() = default;
    NameEntry(const NameEntry& other);
    NameEntry& operator=(const NameEntry& other);

    void SetCachedText(std::string text) const { text_ = std::move(text); }
    // Turns a freshly made invalid entry into its family's shared constant; true for static chaining.
    bool MakeInvalidConstant();
    void ClearNames() { names_.clear(); }

private:
    mutable std::string text_;
    mutable std::vector<std::string> names_;
    int32_t lookupState_ = LookupNone;
};

// The verdict on one look-up result code, as `NameEntry::CheckError` acts on it.
struct LookupErrorVerdict {
    bool success = false;
    bool retry = false;
    std::string report; // empty: nothing to report
};
LookupErrorVerdict JudgeLookupError(uint32_t replyValue);

// Whether a resolved name may be stored: a readable, non-empty text that begins with an ASCII letter or
// digit; short names (up to 15 characters) may hold any 7-bit character, longer ones only letters,
// digits, ".", "-" and "_", up to 253 characters.
bool IsValidHostName(const char* text);

} // namespace vq
