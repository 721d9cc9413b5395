#pragma once

#include "platform/packet/DriverRecord.h"
#include "platform/packet/Overlapped.h"

#include <cstdint>

// The packet driver the capture side calls. Adapters are named "\Device\<ifname>" for a live
// interface (captured through libpcap) or "\Device\replay:<path>?<options>" for a capture file
// played back as if it arrived on an adapter. Posted reads are filled in posting order: by the
// handle's reader thread, or, for a replay with no pace, on the owner's thread as they are posted
// and as the filter comes to accept (the file is always ready, so no thread need wait for it).
// Only the owner's thread posts, requests and closes.
namespace vq {

using PacketHandle = int32_t;
constexpr PacketHandle kInvalidPacketHandle = -1;

// Error numbers of the last failed call on this thread besides errno values.
constexpr int kErrorInvalidHandle = 6;
constexpr int kErrorIoIncomplete = 996;

// Opens an adapter; kInvalidPacketHandle on failure, with the reason in W32N_GetLastError.
// Frames are held back (the accept-nothing filter) until the packet filter is set to accept.
PacketHandle W32N_OpenAdapter(const char* deviceName);

// Joins the handle's reader thread, if it has one; reads still posted never complete. 0 on success.
int W32N_CloseAdapter(PacketHandle handle);

// Answers one request at once; the overlapped block is accepted for the caller's sake and not
// signalled. Returns an NDIS status.
uint32_t W32N_MakeNdisRequest(PacketHandle handle, NdisRequest& request, Overlapped* overlapped, int sync);

// Resets the read's event and queues the read behind those already posted; it completes later on
// the reader thread, or before this returns for a replay with no pace. 0 when queued; -1 with ENOBUFS when the handle already holds its most
// posted reads.
int W32N_PacketRead(PacketHandle handle, DriverRecord* record, uint32_t* bytesReturned,
                    Overlapped* overlapped, int flags);

// The error number of the last failed call of this thread.
int W32N_GetLastError();

// Whether a posted read has completed, never waiting: false with kErrorIoIncomplete while it is
// pending.
bool GetOverlappedResult(PacketHandle handle, const Overlapped& overlapped, uint32_t* bytesReturned);

// Whether a replay adapter has delivered every frame of its file; false for live adapters.
bool IsReplayFinished(PacketHandle handle);

} // namespace vq
