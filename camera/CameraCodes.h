// The three codes a failed camera operation leaves for the "Errors" report:
// the camera's LinkStatus, the link's PacketStatus and the port's PortFlags.
#pragma once

#include <cstdint>

namespace pixlor {

struct CameraCodes {
    int32_t linkStatus = 0;
    int32_t packetStatus = 0;
    uint32_t portFlags = 0;
    friend bool operator==(const CameraCodes&, const CameraCodes&) = default;
};

} // namespace pixlor
