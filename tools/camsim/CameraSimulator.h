// The camera's side of the serial protocol as a state machine, free of I/O: it is fed
// the bytes the host wrote and returns the replies to put on the line. Time comes in
// as an argument so tests drive it without sleeping.
#pragma once

#include "tools/camsim/Faults.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace camsim {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kNoTime = 0xFFFFFFFF;
inline constexpr std::size_t kDefaultPacketSize = 2048;
inline constexpr std::size_t kMaxPacketSize = 0xFFFF; // the length field's limit

// Control bytes on the line.
inline constexpr std::uint8_t kProbe = 0x00;
inline constexpr std::uint8_t kMore = 0x02;
inline constexpr std::uint8_t kLast = 0x03;
inline constexpr std::uint8_t kDone = 0x05;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kRefuse = 0x11;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kCancel = 0x18;
inline constexpr std::uint8_t kEsc = 0x1B;

struct Picture {
    Bytes photo;
    Bytes thumbnail;
    std::uint32_t time = kNoTime; // seconds since 1970-01-01 00:00:00 UTC
    // What the information record reports, when it should differ from the bytes sent.
    std::optional<std::uint32_t> reportedPhotoSize;
    std::optional<std::uint32_t> reportedThumbnailSize;
};

// What is left in the camera, as a test sees it from outside.
struct PictureSummary {
    std::uint32_t number = 0; // 1-based
    std::uint32_t photoSize = 0;
    std::uint32_t thumbnailSize = 0;
    std::uint32_t time = kNoTime;
    std::uint32_t photoCrc = 0; // CRC-32 (as zlib's crc32) of the bytes
    std::uint32_t thumbnailCrc = 0;
};

// One unit the host sent, decoded.
enum class Kind : std::uint8_t {
    Probe,        // 0x00
    Select,       // SetRegister 4
    Speed,        // SetRegister 17
    SetOther,     // SetRegister of another register
    Count,        // GetRegister 10
    GetOther,     // GetRegister of another register
    Info,         // RequestData 0x2F
    Photo,        // RequestData 0x0E
    Thumb,        // RequestData 0x0F
    RequestOther, // RequestData of another code
    Action,       // Action a, b
    Unknown,      // a well-framed packet with an unknown command
    Corrupt,      // a packet with bad framing (answered NAK) or cut short
    Ack,          // 0x06 while a data packet waits for it
    Nak,          // 0x15 while a data packet waits for it
    Cancel,       // 0x18 during a transfer
    Stray,        // any other byte outside a packet
};

const char* KindName(Kind kind);
bool Matches(Target target, Kind kind);

struct Received {
    Kind kind = Kind::Stray;
    Bytes bytes;                 // as received
    std::uint8_t marker = 0;     // packets: 0x43 or 0x53
    std::uint8_t code = 0;       // packets: payload byte 0 (the command)
    std::uint8_t reg = 0;        // SetRegister/GetRegister: register; RequestData: code;
                                 // Action: a
    std::uint32_t value = 0;     // SetRegister: value; Action: b
    std::uint32_t hostSpeed = 0; // the host's line speed when it arrived (0 = unknown)
    Clock::time_point when{};
};

// One piece of output for the line.
struct Reply {
    Bytes bytes;
    std::uint32_t lineSpeed = 19200;    // the camera's line speed for these bytes
    std::chrono::milliseconds delay{0}; // wait this long after the command arrived
    bool afterHostPurge = false;        // send only once the host has discarded its input
    bool thenVanish = false;            // close the line after sending
};

struct CameraConfig {
    std::size_t packetSize = kDefaultPacketSize;     // payload bytes per data packet
    bool refuseDeleteLast = false;                   // answer 0x11 to action sub-code 0
    std::uint32_t register1 = 1;                     // value of register 1
    std::chrono::milliseconds interByteTimeout{500}; // a packet not finished by then is dropped
    std::chrono::milliseconds deleteTime{0};         // extra time before the completion byte
};

class CameraSimulator {
public:
    CameraSimulator(CameraConfig config, std::vector<Picture> pictures);

    // Feeds bytes written by the host, arriving at `now`; appends the replies.
    void Feed(std::span<const std::uint8_t> bytes, Clock::time_point now,
              std::vector<Reply>& replies);
    // Lets timers run (a packet left unfinished); call at Deadline() or later.
    void Tick(Clock::time_point now, std::vector<Reply>& replies);
    std::optional<Clock::time_point> Deadline() const;

    void AddFault(const Fault& fault);
    // Forgets every fault, `slow` included.
    void ClearFaults();
    void SetHostSpeed(std::uint32_t speed) { hostSpeed_ = speed; }

    std::uint32_t LineSpeed() const { return lineSpeed_; }
    std::uint32_t SpeedIndex() const { return speedIndex_; }
    std::uint32_t Selected() const { return selected_; }
    bool TransferPending() const { return awaiting_; }
    std::uint64_t Deletions() const { return deletions_; }
    const std::vector<Picture>& Pictures() const { return pictures_; }
    std::vector<PictureSummary> Summaries() const;
    const std::vector<Received>& Log() const { return log_; }

private:
    struct ActiveFault {
        Fault fault;
        std::uint32_t seen = 0; // matching commands (answer faults) or packets (packet faults)
        std::uint32_t left = 0; // firings left
    };
    enum class Source : std::uint8_t { Register, Info, Photo, Thumb };

    void Byte(std::uint8_t b, Clock::time_point now, std::vector<Reply>& replies);
    void Packet(Clock::time_point now, std::vector<Reply>& replies);
    void Execute(Received& rx, std::vector<Reply>& replies);
    void StartTransfer(Kind kind, Source source, Bytes registerValue, std::vector<Reply>& replies,
                       std::chrono::milliseconds delay, std::optional<std::uint8_t> replaceFirst);
    void SendPacket(std::vector<Reply>& replies, std::chrono::milliseconds delay,
                    std::optional<std::uint8_t> replaceWith);
    Bytes BuildPacket() const;
    std::span<const std::uint8_t> SourceBytes() const;
    void EndTransfer() { awaiting_ = false; }
    Received& Log(Kind kind, Bytes bytes, Clock::time_point now);

    CameraConfig config_;
    std::vector<Picture> pictures_;
    std::vector<ActiveFault> faults_;
    std::vector<Received> log_;

    // Packet assembly.
    Bytes rx_;
    Clock::time_point lastByte_{};

    // Registers.
    std::uint32_t selected_ = 0;
    std::uint32_t speedIndex_ = 0;
    std::uint32_t lineSpeed_ = 19200;
    std::uint32_t hostSpeed_ = 0;

    // The transfer in progress: the packet last sent waits for the host's ACK.
    bool awaiting_ = false;
    Kind transferKind_ = Kind::Count;
    Source source_ = Source::Register;
    std::size_t pictureIndex_ = 0;
    Bytes inlinePayload_; // register value or information record
    std::size_t offset_ = 0;
    std::size_t chunk_ = 0;

    std::uint64_t deletions_ = 0;
    std::chrono::milliseconds slow_{0};
};

// Payload helpers, shared with the tests.
std::uint16_t Checksum(std::span<const std::uint8_t> payload);
Bytes DataPacket(std::uint8_t type, std::span<const std::uint8_t> payload);
Bytes InfoRecord(std::uint32_t photoSize, std::uint32_t thumbnailSize, std::uint32_t time);
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
// Line speed of an index of register 17 (0 for an index without one).
std::uint32_t SpeedOfIndex(std::uint32_t index);

} // namespace camsim
