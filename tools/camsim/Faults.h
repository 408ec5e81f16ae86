// Fault plan of the camera emulator: what to get wrong, and when.
//
// Text form (command line `--fault TEXT`, or Simulator::AddFault):
//
//   TEXT   := KIND [':' ARG] ['@' TARGET ['#' K]]
//
//   nak[:N]          answer NAK instead of executing, N times (default 1)
//   silent[:N]       do not answer at all, N times (default 1)
//   refuse[:TARGET]  answer 0x11 instead of executing (once); `refuse:select` = `refuse@select`
//   byte:0xHH        answer the byte HH instead (once)
//   delay:MS         send the answer MS milliseconds late (once)
//   slow:MS          every answer MS milliseconds late (for the whole run)
//   checksum:K       corrupt the checksum of the K-th data packet sent
//   checksum-always[:K]  corrupt the checksum of every data packet sent from the K-th on
//                    (default 1)
//   cut:K            send only the first half of the K-th data packet
//   vanish:K         close the camera's end of the line after the K-th data packet
//
// TARGET limits the fault to one kind of command: probe, set, select (register 4),
// speed (register 17), get, count (register 10), request, info (0x2F), photo (0x0E),
// thumb (0x0F), delete (any action), ack (the host's ACK that asks for the next data
// packet). Without a target the answer faults match every command packet and probe
// (not the host's ACK/NAK bytes), and the packet faults count every data packet.
// '#K' makes an answer fault fire first at the K-th matching command counted from
// when the fault was added (default: the next one). Packet faults count the data
// packets (resends included) sent in answer to matching commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace camsim {

enum class FaultKind : std::uint8_t {
    Nak,
    Silent,
    Refuse,
    Byte,
    Delay,
    Slow,
    Checksum,
    ChecksumAlways,
    Cut,
    Vanish,
};

enum class Target : std::uint8_t {
    Any,
    Probe,
    Set,
    Select,
    Speed,
    Get,
    Count,
    Request,
    Info,
    Photo,
    Thumb,
    Delete,
    Ack,
};

struct Fault {
    FaultKind kind = FaultKind::Nak;
    Target target = Target::Any;
    std::uint32_t count = 1; // Nak/Silent: times; Checksum/Cut/Vanish: the K-th packet;
                             // ChecksumAlways: the first packet it corrupts
    std::uint32_t nth = 1;   // answer faults: first fires at the nth matching command
    std::uint32_t ms = 0;    // Delay/Slow
    std::uint8_t byte = 0;   // Byte

    bool operator==(const Fault&) const = default;
};

// Parses one fault text; on failure returns nothing and says why in `error` (if given).
std::optional<Fault> ParseFault(std::string_view text, std::string* error = nullptr);

// The canonical text of a fault (ParseFault(FormatFault(f)) == f).
std::string FormatFault(const Fault& fault);

// True for faults that replace or delay the answer to a command; false for the ones
// that act on data packets (Checksum, ChecksumAlways, Cut, Vanish) and Slow.
bool IsAnswerFault(FaultKind kind);

} // namespace camsim
