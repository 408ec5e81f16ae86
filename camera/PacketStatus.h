// The link's code of the last failed primitive, shown in the "Errors" report.
#pragma once

#include <cstdint>

namespace pixlor::packetstatus {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kOpenFailed = 1;         // Handshake: opening the port
inline constexpr int32_t kLineFailed = 2;         // the local line setting
inline constexpr int32_t kPurgeFailed = 3;        // Handshake: discarding the receive queue
inline constexpr int32_t kNoProbeAnswer = 4;      // Handshake: three probes without NAK
inline constexpr int32_t kSpeedSwitchRefused = 5; // register 17 = index not accepted
inline constexpr int32_t kSpeedResetRefused = 6;  // register 17 = 0 not accepted
inline constexpr int32_t kGetRegisterFailed = 7;
inline constexpr int32_t kSetRegisterFailed = 8;
inline constexpr int32_t kActionFailed = 9;
inline constexpr int32_t kRequestDataFailed = 10;
inline constexpr int32_t kReceiveFailed = 11; // AcknowledgeAndReceive

} // namespace pixlor::packetstatus
