// The port's failure-bit word. Bits are OR-ed in and stay set until somebody
// clears the word; the link clears it before each reception.
#pragma once

#include <cstdint>

namespace pixlor::portflag {

// Set by the packet link.
inline constexpr uint32_t kBadChecksum = 0x0001;    // data packet checksum mismatch
inline constexpr uint32_t kUnexpectedByte = 0x0002; // answer is no expected packet type
inline constexpr uint32_t kRefused = 0x0004;        // the camera answered 0x11
inline constexpr uint32_t kNak = 0x0010;            // the camera answered NAK (0x15)

// Set by the camera object once the transfer has ended: the camera sent more
// data than the picture's size.
inline constexpr uint32_t kTooMuchData = 0x0008;

// Set by the port.
inline constexpr uint32_t kReadFailed = 0x0020;     // read failed or timed out short
inline constexpr uint32_t kLineFailed = 0x0100;     // open or line setting failed
inline constexpr uint32_t kReadNotOpen = 0x0200;    // read on a closed port
inline constexpr uint32_t kWriteFailed = 0x0400;    // write failed, short, or port closed
inline constexpr uint32_t kTimeoutsFailed = 0x0800; // applying the time-outs failed

// Discarding the receive queue failed: before a write, before a read.
inline constexpr uint32_t kPurgeBeforeWrite = 0x1000;
inline constexpr uint32_t kPurgeBeforeRead = 0x2000;

// Masks the camera object tests.
inline constexpr uint32_t kRefusalMask = kRefused | kNak;                            // 0x0014
inline constexpr uint32_t kRetryMask = kBadChecksum | kUnexpectedByte | kReadFailed; // 0x0023
inline constexpr uint32_t kBrokenLineMask = kLineFailed | kReadFailed | kUnexpectedByte;

} // namespace pixlor::portflag
