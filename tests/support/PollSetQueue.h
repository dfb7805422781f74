#pragma once
// The poll set queued as the panel queues it, for tests that run the port.
#include "SaunaREG.h"
#include "SocketRTU.h"

#include <cstdint>
#include <vector>

// Queues every block of the poll set at Addr as a cyclic slot, in its order; the slots taken.
inline std::vector<std::int32_t> QueuePollSet(TDravonSockets& Sockets, std::int32_t Addr) {
    std::vector<std::int32_t> taken;
    for (const TPollBlock& block : POLL_SET)
        taken.push_back(
            block.Coils
                ? Sockets.AddReadRBBlock(Addr, block.First, block.Count, SOCKET_MODE_MULTI)
                : Sockets.AddReadRWBlock(Addr, block.First, block.Count, SOCKET_MODE_MULTI));
    return taken;
}
