#pragma once

namespace vq {

class Conversation;
class FrameView;

// The monitor actions that watch one tuple, grouped by their target.
class ActionSets {
public:
    virtual ~ActionSets() = default;
    // Hands a frame counted on the tuple to every action of the sets.
    virtual void AddPacket(const FrameView& frame, Conversation* target) = 0;
};

} // namespace vq
