// The camera's side of the serial protocol, played over a FakeSerialDevice, for
// unit tests of the link, the camera object and everything above them:
//
//     FakeSerialDevice device;
//     FakeCamera camera(device);          // installs itself as the responder
//     camera.AddPicture(FakePicture::Sized(5000, 300, 0x3D0B3375));
//
// It answers probes with NAK, SetRegister with ACK, GetRegister and the data
// requests (0x2F information, 0x0E photo, 0x0F thumbnail in packets of
// `packetSize` bytes) with data packets, and the deletion actions with ACK then
// the completion byte 0x05. ACK asks for the next data packet, NAK for the same
// again, 0x18 ends a transfer. Faults for the next host messages are queued in
// `faults`; `refuseSubCode0` makes it refuse deletion by sub-code 0 (0x11).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "fakes/FakeSerialDevice.h"

namespace pixlor::fakes {

struct FakePicture {
    std::vector<uint8_t> photo;
    std::vector<uint8_t> thumbnail;
    uint32_t time = 0xFFFFFFFF; // seconds since 1970; 0xFFFFFFFF none
    // What the information record says of the photo's size, when not its true size.
    std::optional<uint32_t> reportedPhotoSize;
    // A picture whose bytes are a pattern (byte i = (i * 7 + seed) & 0xFF).
    static FakePicture Sized(uint32_t photoSize, uint32_t thumbnailSize, uint32_t time,
                             uint8_t seed = 0);
};

// What the camera does with one host message (a command packet or a single
// control byte) instead of its normal answer.
enum class CameraFault {
    None,      // the normal answer
    Silent,    // the answer is lost on the line (the host times out); its effect stays
    Nak,       // answer NAK
    Refuse,    // answer 0x11
    Junk,      // answer an unexpected byte (0x42)
    Ack,       // a data answer whose first byte reads as ACK (garbled on the line)
    Corrupt,   // answer normally, but a data packet's checksum is off by one
    Oversized, // answer a data packet header with length 32762 (and nothing more)
};

// One command packet the host sent, as the camera decoded it.
struct ReceivedCommand {
    uint8_t marker = 0;           // 0x43, or 0x53 for the speed packets
    std::vector<uint8_t> payload; // command code first
    bool checksumOk = true;
};

class FakeCamera {
public:
    explicit FakeCamera(FakeSerialDevice& device);
    ~FakeCamera();
    FakeCamera(const FakeCamera&) = delete;
    FakeCamera& operator=(const FakeCamera&) = delete;

    void AddPicture(FakePicture picture) { pictures.push_back(std::move(picture)); }

    std::vector<FakePicture> pictures;
    std::map<uint8_t, uint32_t> registers; // plain registers (1, 4, 17, ...); 10 is the count
    uint32_t packetSize = 1000;            // payload bytes per data packet of a transfer
    bool awake = true;                     // false: probes go unanswered
    // With `strictSpeed`, the camera hears only bytes sent at its own line
    // speed, which register 17 changes once acknowledged (a real camera);
    // without, it hears every speed.
    bool strictSpeed = false;
    uint32_t lineSpeed = 19200;
    bool refuseSubCode0 = false;
    uint32_t completionByte = 0x05; // the byte that ends an action
    uint32_t infoLength = 24;       // payload bytes of the 0x2F answer (shorter: cut off)
    std::deque<CameraFault> faults; // for the next host messages, in order

    // The record.
    std::vector<ReceivedCommand> commands;
    std::vector<uint8_t> controlBytes;  // single bytes the host sent (probe, ACK, NAK, 0x18)
    int bytesLost = 0;                  // sent at a speed the strict camera was not at
    std::vector<uint32_t> speedIndexes; // every value written to register 17
    int probes = 0;
    int cancels = 0;
    std::vector<uint32_t> deleted; // picture numbers deleted, in order

    // Commands with this code (the payload's first byte).
    std::vector<ReceivedCommand> CommandsOf(uint8_t code) const;

private:
    void OnWrite(std::span<const uint8_t> bytes);
    void OnMessage();
    void OnCommand(const ReceivedCommand& command);
    void OnControl(uint8_t byte);
    void Answer(std::vector<uint8_t> bytes);
    void SendData(uint8_t type, std::span<const uint8_t> payload);
    void SendTransferPacket();
    std::vector<uint8_t> InfoPayload() const;

    FakeSerialDevice& device_;
    std::vector<uint8_t> pending_; // bytes of an incomplete command packet
    std::optional<CameraFault> fault_;
    std::vector<uint8_t> lastPacket_;                // for NAK: send again
    std::vector<uint8_t> later_;                     // delivered on the next empty read
    const std::vector<uint8_t>* transfer_ = nullptr; // a running picture transfer
    size_t transferOffset_ = 0;
    size_t currentSize_ = 0;
};

} // namespace pixlor::fakes
