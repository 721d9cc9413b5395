#pragma once

#include "netmodel/ReferenceSessionMap.h"
#include "netmodel/TAOPool.h"
#include "netmodel/Tuple.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq {

class FrameView;
class TupleOfferSink;

// The tuples of one network model: for every captured frame the tuple of its stream, made and
// offered to the monitor's action pools when the stream is new.
class TuplePool : public TAOPool {
public:
    explicit TuplePool(uint8_t live, TupleOfferSink* offers = nullptr);
    ~TuplePool() override;

    void SetOfferSink(TupleOfferSink* offers) { m_Offers = offers; }
    uint8_t GetLive() const { return m_Live; }

    Tuple* FindOrAddForFrame(const FrameView& frame, HostAddress* source, HostAddress* destination,
                             uint16_t interfaceNumber) {
        return FindOrAddForFields(source, destination, FieldsForFrame(frame, interfaceNumber));
    }
    // The two halves of FindOrAddForFrame, for a caller that learns the frame's hosts in between.
    // The reference sessions the frame stores wait for the tuple: FindOrAddForFields ties them,
    // AbandonFrame drops them when the frame fails on the way.
    Tuple::Fields FieldsForFrame(const FrameView& frame, uint16_t interfaceNumber);
    Tuple* FindOrAddForFields(HostAddress* source, HostAddress* destination, const Tuple::Fields& fields);
    void AbandonFrame() { m_ReferenceSessions.Abandon(); }
    // A tuple with the key's kind, interface and ids and no hosts.
    std::unique_ptr<TAO> NewTAO(const TAO& key) override;
    Tuple* GetNextTuple(size_t& position) const { return static_cast<Tuple*>(GetNextTAO(position)); }

    ReferenceSessionMap& GetReferenceSessions() { return m_ReferenceSessions; }
    uint64_t GetReferenceSessionChanges() const { return m_ReferenceSessions.GetChanges(); }
    // Empties the pool and the reference-session map.
    void Reset();

    std::string Dump() const;
    // False with IntegrityText() set at the first violation.
    bool CheckIntegrity(bool force);

private:
    friend class TuplePoolTestAccess;

    void OnRemoving(TAO& tao) override;
    void Offer(Tuple& tuple);

    uint8_t m_Live;
    TupleOfferSink* m_Offers;
    ReferenceSessionMap m_ReferenceSessions;
};

} // namespace vq
