#pragma once

#include "netmodel/ActionSets.h"
#include "netmodel/HostAddress.h"
#include "netmodel/TAO.h"
#include "netmodel/TupleKey.h"
#include "runtime/MemberDescription.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace vq {

class FrameView;
class Conversation;

// The key of one traffic stream (source, destination, interface and the protocol of every layer),
// or, with a key kind, a selection on one of those fields.
class Tuple : public TAO, public Describable {
    VQ_DECLARE_RUNTIME_CLASS(Tuple)

public:
    using Fields = std::array<uint16_t, FieldCount>;

    explicit Tuple(uint8_t live = 0);
    // The full key of a frame.
    Tuple(HostAddress* source, HostAddress* destination, const Fields& fields, uint8_t live);
    // Hosts by copy mode: 1 shares them, 2 makes owned copies, any other leaves both empty.
    Tuple(const Tuple& other, int copyMode, uint8_t live);
    // Selection on a host, side KEY_Source or KEY_Destination; an owned copy with a copy mode.
    Tuple(HostAddress& host, int side);
    Tuple(const HostAddress& host, int side, int copyMode);
    // Selection on one address: the tuple makes and owns a host holding it (shared or copied).
    Tuple(MacAddress& address, int side, bool copy);
    Tuple(IpAddress& address, int side, bool copy);
    Tuple(IpxAddress& address, int side, bool copy);
    // Selection on a value of one field bit, or a wildcard on the bit.
    Tuple(uint16_t value, int32_t bit);
    static std::unique_ptr<Tuple> MakeWildcard(int32_t bit);
    ~Tuple() override;
    Tuple(const Tuple&) = delete;
    Tuple& operator=(const Tuple&) = delete;

    // The program-wide constants of key kind KEY_NONE and KEY_INVALID.
    static Tuple& NoneConstant();
    static Tuple& InvalidConstant();

    Tuple* GetTuple() const override { return const_cast<Tuple*>(this); }
    bool IsEqual(const TAO& other) const override;
    bool IsSimilar(const TAO& other, bool session) const override;

    int32_t GetKey() const { return m_Key; }
    void SetKey(int32_t kind) { m_Key = kind; }
    HostAddress* GetSource() const { return m_Source; }
    HostAddress* GetDestination() const { return m_Destination; }
    // Attach a host to a side; the tuple owns it when nobody does.
    void SetSource(HostAddress* host);
    void SetDestination(HostAddress* host);
    uint16_t GetField(int field) const { return m_Fields[size_t(field)]; }
    const Fields& GetFields() const { return m_Fields; }
    uint16_t GetInterface() const { return m_Fields[FieldInterface]; }
    uint8_t GetLive() const { return m_Live; }

    int32_t GetValidKeys() const;
    // The host of KEY_Source or KEY_Destination; null for other bits.
    HostAddress* GetKeyHost(int32_t bit) const;
    // The field of a bit from KEY_Interface to KEY_ReferenceSession; 0 for anything else.
    uint32_t GetKeyValue(int32_t bit) const;
    void SetKeyValue(uint16_t value, int32_t bit);

    void SetSourceOrDestinationMac(MacAddress& address, int side);
    void SetSourceOrDestinationIp(IpAddress& address, int side);
    void SetSourceOrDestinationIpx(IpxAddress& address, int side);

    // Exchanges the hosts; with `swapKey` a side selection also changes side, and any other key
    // kind refuses.
    bool Reverse(bool swapKey);

    // 1 when this sorts first, -1 after, 0 equal.
    int Compare(const Tuple& other) const;
    bool Matches(const Tuple& other, int32_t mask) const;
    std::string GetText(bool names) const;
    static const char* KeyName(int32_t kind);

    ActionSets* GetActions() const { return m_Actions.get(); }
    void SetActions(std::unique_ptr<ActionSets> actions) { m_Actions = std::move(actions); }
    // Stamps the last time and hands the frame to the actions watching the tuple.
    void AddPacket(const FrameView& frame, Conversation* target);

    // What a pool's finder answered for this tuple, kept for the next frame of the stream and the
    // next merge of its conversation, under the token the finder had then (tokens are never
    // reused). Answers of the pool frames are counted in (the running step, stale after every
    // tick) take the first place; answers of the pools merged into (the interval, the total), which
    // hold for long, take the other places in turn, so that a new step never pushes them out.
    TAO* Recall(uint64_t token) const {
        for (const Remembered& remembered : m_Remembered)
            if (remembered.token == token) return remembered.tao;
        return nullptr;
    }
    // Starts loading the kept answers, for a caller that will recall them a little later.
    void PrefetchAnswers() const {
        __builtin_prefetch(&m_Destination);
        __builtin_prefetch(&m_Remembered);
    }
    void Remember(uint64_t token, TAO* tao, bool countedIn) const {
        if (countedIn) {
            m_Remembered[0] = Remembered{token, tao};
            return;
        }
        m_Remembered[m_NextRemembered] = Remembered{token, tao};
        m_NextRemembered =
            uint8_t(size_t(m_NextRemembered) + 1 < m_Remembered.size() ? m_NextRemembered + 1 : 1);
    }

    int GetCheckMark(int index) const { return m_CheckMarks[size_t(index)]; }
    void SetCheckMark(int index, int value) { m_CheckMarks[size_t(index)] = value; }
    void ResetCheckMarks() { m_CheckMarks.fill(-1); }

protected:
    MemberTable DescribedMembers() const override;

private:
    void AttachHost(HostAddress*& slot, HostAddress* host);
    void ReleaseHosts();
    HostAddress*& Side(int side) { return side == KEY_Destination ? m_Destination : m_Source; }
    template <typename A> void SetSideAddress(A& address, int side);

    // The one-byte members sit in the gap after the key kind: a tuple lives in every model, every
    // checkpoint copy and every conversation a copy owns.
    int32_t m_Key = KEY_NONE;
    uint8_t m_Live = 0;
    // Place 0 is the running step's; the others take turns from 1.
    mutable uint8_t m_NextRemembered = 1;
    HostAddress* m_Source;
    HostAddress* m_Destination;
    Fields m_Fields{};
    std::unique_ptr<ActionSets> m_Actions;
    std::array<int32_t, 11> m_CheckMarks{};
    struct Remembered {
        uint64_t token = 0;
        TAO* tao = nullptr;
    };
    mutable std::array<Remembered, 3> m_Remembered{};
};

// Hosts compared as the tuples compare them: a missing host as the host with no address.
const HostAddress& HostOrInvalid(const HostAddress* host);

} // namespace vq
