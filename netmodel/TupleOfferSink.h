#pragma once

namespace vq {

class Tuple;

// The monitor's action pools, offered every tuple the live model makes for a frame.
class TupleOfferSink {
public:
    // The order in which a new tuple is offered.
    enum Pool : int { Alarm = 0, Trend, Conversation, Summary, PoolCount };

    virtual ~TupleOfferSink() = default;
    // Lets every installed action of the pool attach the tuple when its criteria accept it.
    virtual void AttachTuple(Pool pool, Tuple& tuple) = 0;
};

} // namespace vq
