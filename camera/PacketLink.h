// The camera's serial protocol over one ComPort: wake-up handshake, speed
// switch, checksummed command and data packets, ACK/NAK and resending. Each
// primitive returns a success flag and leaves its code in `status`; the detail
// is in the port's flags word.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "serial/ComPort.h"

namespace pixlor {

// Single bytes on the line.
namespace ctrl {
inline constexpr uint8_t kProbe = 0x00;
inline constexpr uint8_t kMore = 0x02; // data packet, more follow
inline constexpr uint8_t kLast = 0x03; // last data packet of a transfer
inline constexpr uint8_t kDone = 0x05; // an action has completed
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kRefused = 0x11;
inline constexpr uint8_t kNak = 0x15;
inline constexpr uint8_t kCancel = 0x18;
inline constexpr uint8_t kCommand = 0x1B;
} // namespace ctrl

// The first payload byte of a command packet: what the camera is to do.
namespace command {
inline constexpr uint8_t kSetRegister = 0x00; // register, 4-byte value
inline constexpr uint8_t kGetRegister = 0x01; // register; a data packet answers
inline constexpr uint8_t kAction = 0x02;      // two operand bytes; ACK, then a completion byte
inline constexpr uint8_t kRequestData = 0x04; // what to send; data packets answer
} // namespace command

namespace packet {

inline constexpr uint32_t kBufferSize = 32767;
inline constexpr uint32_t kHeaderSize = 4; // type, unused byte, 2 length bytes
inline constexpr uint32_t kChecksumSize = 2;
inline constexpr uint32_t kMaxPayload = kBufferSize - kHeaderSize - kChecksumSize; // 32761
inline constexpr uint8_t kNormalMarker = 0x43;
inline constexpr uint8_t kSpeedMarker = 0x53;

// Sum of the payload bytes as unsigned values, modulo 65536.
uint16_t Checksum(std::span<const uint8_t> payload);
// The little-endian payload length of a packet header (bytes 2 and 3).
uint16_t PayloadLength(std::span<const uint8_t, kHeaderSize> header);
// A whole command packet: 0x1B, marker, length, payload, checksum.
std::vector<uint8_t> Frame(std::span<const uint8_t> payload, bool speedPacket);
// The local line speed for a register-17 speed index; above 5 counts as 5.
uint32_t LineSpeed(uint32_t index);

} // namespace packet

class PacketLink {
public:
    // Creates the port with the zero-based port number; opens nothing yet.
    explicit PacketLink(uint8_t portIndex);
    PacketLink(const PacketLink&) = delete;
    PacketLink& operator=(const PacketLink&) = delete;

    // Connection set-up: wake the camera at 19200 bit/s, switch both ends to a
    // speed index, hand the camera back at 19200 bit/s.
    bool Handshake();
    bool SetLineSpeed(uint32_t index);
    bool ResetLineSpeed();
    // For a camera left at the speed of `index` by a broken line, which does
    // not hear the wake-up at 19200 bit/s: at that speed, the speed reset
    // (register 17 to 0), sent again only on a NAK; then the port back at
    // 19200 bit/s. True when the camera acknowledged it.
    bool ResetSpeedFrom(uint32_t index);

    // The command primitives.
    bool SetRegister(uint8_t reg, uint32_t value);
    bool GetRegister(uint8_t reg, uint32_t& value);
    bool RequestData(uint8_t code); // leaves the first packet unacknowledged
    bool Action(uint8_t a, uint8_t b, uint32_t waitUs);
    bool AcknowledgeAndReceive(bool negative);
    bool SendByte(uint8_t value);

    ComPort& Port() { return port_; }
    const ComPort& Port() const { return port_; }
    // The last packet received: byte 0 its type, a data packet's payload from byte 4.
    const uint8_t* Buffer() const { return buffer_.data(); }
    uint8_t PacketType() const { return buffer_[0]; }
    uint16_t PacketPayloadLength() const;
    std::span<const uint8_t> PacketPayload() const;

    int32_t status = 0;           // PacketStatus (camera/PacketStatus.h)
    uint32_t selectedPicture = 0; // the value last written to register 4; kept by the camera
    uint8_t deleteMode = 0;       // 2 once the camera refused deletion by sub-code 0
    // The last reception got no byte at all: the camera did not answer.
    bool unanswered = false;

private:
    bool SendPacket(std::span<const uint8_t> payload);
    void SendCommand(std::span<const uint8_t> payload, uint32_t resendOn, bool dataDue = false);
    // `dataDue`: only a data packet answers; a lone ACK then is an unexpected byte.
    bool ReceivePacket(bool dataDue = false);
    bool ReceiveDataPacket();
    bool PurgeInput(bool beforeWrite, bool beforeRead);
    // The end of a command's exchange: the speed marker is spent, and a flag
    // left on the port fails it with `failure` as the status.
    bool EndExchange(int32_t failure);
    bool WriteWithPurge(const void* data, uint32_t count);
    bool WriteByteWithPurge(uint8_t value) { return WriteWithPurge(&value, 1); }
    void Pause(uint32_t milliseconds);

    ComPort port_;
    std::vector<uint8_t> buffer_;
    bool portOpened_ = false;
    bool purgePending_ = true;
    bool speedPacket_ = false;
};

} // namespace pixlor
