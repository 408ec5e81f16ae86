#include "camera/PacketLink.h"

#include <algorithm>

#include "camera/PacketStatus.h"
#include "platform/Platform.h"
#include "serial/PortFlags.h"

namespace pixlor {

namespace packet {

uint16_t Checksum(std::span<const uint8_t> payload) {
    uint32_t sum = 0;
    for (uint8_t b : payload) {
        sum += b;
    }
    return static_cast<uint16_t>(sum);
}

uint16_t PayloadLength(std::span<const uint8_t, kHeaderSize> header) {
    return static_cast<uint16_t>(header[2] | (header[3] << 8));
}

std::vector<uint8_t> Frame(std::span<const uint8_t> payload, bool speedPacket) {
    const auto n = static_cast<uint16_t>(payload.size());
    const uint16_t sum = Checksum(payload);
    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + n + kChecksumSize);
    out.push_back(ctrl::kCommand);
    out.push_back(speedPacket ? kSpeedMarker : kNormalMarker);
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.insert(out.end(), payload.begin(), payload.end());
    out.push_back(static_cast<uint8_t>(sum));
    out.push_back(static_cast<uint8_t>(sum >> 8));
    return out;
}

uint32_t LineSpeed(uint32_t index) {
    static constexpr uint32_t kSpeeds[] = {19200, 9600, 19200, 38400, 57600, 115200};
    return kSpeeds[index > 5 ? 5 : index];
}

} // namespace packet

namespace {

constexpr uint32_t kLine8N1Bits = 8;
constexpr uint32_t kDefaultSpeed = 19200;
constexpr uint8_t kSpeedRegister = 17;

// Resend a register command on a time-out or a NAK; data requests and actions
// only on a NAK.
constexpr uint32_t kRegisterResend = portflag::kReadFailed | portflag::kNak;
constexpr uint32_t kOtherResend = portflag::kNak;
// A corrupt or unexpected answer, which is answered by NAK.
constexpr uint32_t kGarbled = portflag::kBadChecksum | portflag::kUnexpectedByte;

// PurgeInput: the purge comes before a write (always), and also before a read.
constexpr bool kBeforeWrite = true;
constexpr bool kBeforeRead = true;
constexpr bool kNotBeforeRead = false;
// SendCommand, ReceivePacket: only a data packet answers.
constexpr bool kDataDue = true;

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

} // namespace

PacketLink::PacketLink(uint8_t portIndex) : port_(portIndex), buffer_(packet::kBufferSize, 0) {}

uint16_t PacketLink::PacketPayloadLength() const {
    return packet::PayloadLength(
        std::span<const uint8_t, packet::kHeaderSize>(buffer_.data(), packet::kHeaderSize));
}

std::span<const uint8_t> PacketLink::PacketPayload() const {
    const uint32_t n = PacketPayloadLength();
    return {buffer_.data() + packet::kHeaderSize, n > packet::kMaxPayload ? 0 : n};
}

void PacketLink::Pause(uint32_t milliseconds) {
    CurrentPlatform().sleeper->Sleep(milliseconds);
}

bool PacketLink::PurgeInput(bool beforeWrite, bool beforeRead) {
    constexpr int kAttempts = 4;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (port_.Purge(kPurgeRxClear)) {
            if (beforeWrite) {
                port_.flags &= ~portflag::kPurgeBeforeWrite;
            }
            if (beforeRead) {
                port_.flags &= ~portflag::kPurgeBeforeRead;
            }
            return true;
        }
        if (attempt < kAttempts) {
            port_.flags |= beforeWrite ? portflag::kPurgeBeforeWrite : portflag::kPurgeBeforeRead;
            if (port_.deviceGone) {
                return false; // no later attempt can succeed
            }
            Pause(1000);
        }
    }
    return false;
}

bool PacketLink::WriteWithPurge(const void* data, uint32_t count) {
    // Stale answers must not be taken for the answer to this write.
    return PurgeInput(kBeforeWrite, kNotBeforeRead) && port_.Write(data, count);
}

bool PacketLink::SendPacket(std::span<const uint8_t> payload) {
    const std::vector<uint8_t> bytes = packet::Frame(payload, speedPacket_);
    if (!WriteWithPurge(bytes.data(), 1)) {
        return false;
    }
    Pause(1);
    if (!port_.Write(bytes.data() + 1, 3)) {
        return false;
    }
    Pause(1);
    return port_.Write(bytes.data() + packet::kHeaderSize,
                       static_cast<uint32_t>(payload.size() + packet::kChecksumSize));
}

// A command goes out at most three times; it is sent again only when the
// answer's flags hold one of `resendOn`. The answer decides alone: the
// result of the send is not examined.
void PacketLink::SendCommand(std::span<const uint8_t> payload, uint32_t resendOn, bool dataDue) {
    for (int send = 0; send < 3; ++send) {
        SendPacket(payload);
        ReceivePacket(dataDue);
        if ((port_.flags & resendOn) == 0 || port_.deviceGone) {
            break;
        }
    }
}

bool PacketLink::ReceiveDataPacket() {
    uint8_t* const b = buffer_.data();
    if (!port_.Read(b + 1, 3) || port_.flags != 0) {
        return false;
    }
    const uint32_t n = PacketPayloadLength();
    if (n > packet::kMaxPayload) {
        port_.flags |= portflag::kUnexpectedByte; // would not fit: not read, the purge drops it
        return false;
    }
    uint8_t* const payload = b + packet::kHeaderSize;
    if (n > 0 && (!port_.Read(payload, n) || port_.flags != 0)) {
        return false;
    }
    if (!port_.Read(payload + n, packet::kChecksumSize) || port_.flags != 0) {
        return false;
    }
    const uint16_t received = static_cast<uint16_t>(payload[n] | (payload[n + 1] << 8));
    if (received != packet::Checksum({payload, n})) {
        port_.flags |= portflag::kBadChecksum;
    }
    return port_.flags == 0;
}

bool PacketLink::ReceivePacket(bool dataDue) {
    port_.flags = 0;
    const bool typeRead = port_.ReadByte(&buffer_[0]);
    unanswered = !typeRead;
    if (typeRead && port_.flags == 0) {
        switch (buffer_[0]) {
        case ctrl::kMore:
        case ctrl::kLast:
            ReceiveDataPacket();
            break;
        case ctrl::kAck:
            // Where data is due an ACK leaves the buffer holding an earlier
            // packet, which must not be taken for the answer.
            if (dataDue) {
                port_.flags |= portflag::kUnexpectedByte;
            }
            break;
        case ctrl::kRefused:
            port_.flags |= portflag::kRefused;
            break;
        case ctrl::kNak:
            port_.flags |= portflag::kNak;
            break;
        default:
            port_.flags |= portflag::kUnexpectedByte;
            break;
        }
    }
    PurgeInput(kBeforeWrite, kBeforeRead); // never leave the rest of an answer behind
    return port_.flags == 0;
}

bool PacketLink::EndExchange(int32_t failure) {
    speedPacket_ = false;
    if (port_.flags == 0) {
        return true;
    }
    status = failure;
    return false;
}

bool PacketLink::SetRegister(uint8_t reg, uint32_t value) {
    status = packetstatus::kOk;
    Pause(5);
    const uint8_t payload[6] = {command::kSetRegister,
                                reg,
                                static_cast<uint8_t>(value),
                                static_cast<uint8_t>(value >> 8),
                                static_cast<uint8_t>(value >> 16),
                                static_cast<uint8_t>(value >> 24)};
    SendCommand(payload, kRegisterResend);
    return EndExchange(packetstatus::kSetRegisterFailed);
}

bool PacketLink::GetRegister(uint8_t reg, uint32_t& value) {
    status = packetstatus::kOk;
    Pause(5);
    const uint8_t payload[2] = {command::kGetRegister, reg};
    SendCommand(payload, kRegisterResend, kDataDue);
    if ((port_.flags & kRegisterResend) != 0) {
        speedPacket_ = false;
        status = packetstatus::kGetRegisterFailed;
        return false;
    }
    // A corrupt answer is asked for again; the camera repeats its packet.
    for (int nak = 0; nak < 3 && (port_.flags & kGarbled) != 0; ++nak) {
        port_.WriteByte(ctrl::kNak);
        ReceivePacket(kDataDue);
    }
    if (!EndExchange(packetstatus::kGetRegisterFailed)) {
        return false;
    }
    WriteByteWithPurge(ctrl::kAck);
    // A payload shorter than the value gives zeros for the bytes it lacks,
    // not the bytes an earlier packet left in the buffer.
    uint8_t bytes[4] = {};
    const std::span<const uint8_t> got = PacketPayload();
    std::copy_n(got.begin(), std::min<std::size_t>(got.size(), sizeof bytes), bytes);
    value = LittleEndian32(bytes);
    return true;
}

bool PacketLink::RequestData(uint8_t code) {
    status = packetstatus::kOk;
    Pause(5);
    const uint8_t payload[2] = {command::kRequestData, code};
    SendCommand(payload, kOtherResend, kDataDue);
    return EndExchange(packetstatus::kRequestDataFailed);
}

bool PacketLink::AcknowledgeAndReceive(bool negative) {
    status = packetstatus::kOk;
    WriteByteWithPurge(negative ? ctrl::kNak : ctrl::kAck);
    ReceivePacket(kDataDue);
    return EndExchange(packetstatus::kReceiveFailed);
}

bool PacketLink::SendByte(uint8_t value) {
    return port_.WriteByte(value);
}

bool PacketLink::Action(uint8_t a, uint8_t b, uint32_t waitUs) {
    Pause(5);
    const uint8_t payload[3] = {command::kAction, a, b};
    SendCommand(payload, kOtherResend);
    speedPacket_ = false;
    status = packetstatus::kActionFailed;
    if (port_.flags != 0 || buffer_[0] != ctrl::kAck) {
        return false;
    }
    // The completion may take longer than a normal answer.
    const uint32_t saved = port_.readTimeoutConstantUs;
    port_.readTimeoutConstantUs = waitUs;
    if (waitUs != saved && !port_.ApplyTimeouts()) {
        port_.readTimeoutConstantUs = saved;
        return false;
    }
    ReceivePacket();
    if ((port_.flags & portflag::kUnexpectedByte) != 0 && buffer_[0] == ctrl::kDone) {
        port_.flags &= ~portflag::kUnexpectedByte;
    }
    port_.readTimeoutConstantUs = saved;
    if (!port_.ApplyTimeouts()) {
        return false;
    }
    if (port_.flags != 0 || buffer_[0] != ctrl::kDone) {
        return false;
    }
    status = packetstatus::kOk;
    return true;
}

bool PacketLink::Handshake() {
    port_.flags = 0;
    status = packetstatus::kOk;
    if (!portOpened_) {
        Pause(500);
        if (!port_.Open(kDefaultSpeed, kLine8N1Bits, 0, 0)) {
            status = packetstatus::kOpenFailed;
            return false;
        }
        portOpened_ = true;
    } else if (!port_.SetLine(kDefaultSpeed, kLine8N1Bits, 0, 0)) {
        status = packetstatus::kLineFailed;
        return false;
    }
    if (purgePending_) {
        Pause(100);
        if (!PurgeInput(kBeforeWrite, kBeforeRead)) {
            status = packetstatus::kPurgeFailed;
            return false;
        }
        purgePending_ = false;
    }
    port_.flags = 0;
    for (int probe = 0; probe < 3; ++probe) {
        Pause(100);
        port_.WriteByte(ctrl::kProbe);
        if (port_.ReadByte(&buffer_[0]) && buffer_[0] == ctrl::kNak) {
            return true;
        }
        if (!PurgeInput(kBeforeWrite, kBeforeRead)) {
            status = packetstatus::kPurgeFailed;
            return false;
        }
    }
    status = packetstatus::kNoProbeAnswer;
    return false;
}

bool PacketLink::SetLineSpeed(uint32_t index) {
    if (index > 5) {
        index = 5; // both ends must agree on a speed the table has
    }
    speedPacket_ = true;
    if (!SetRegister(kSpeedRegister, index)) {
        status = packetstatus::kSpeedSwitchRefused;
        return false;
    }
    if (!port_.SetLine(packet::LineSpeed(index), kLine8N1Bits, 0, 0)) {
        status = packetstatus::kLineFailed;
        return false;
    }
    return true;
}

bool PacketLink::ResetSpeedFrom(uint32_t index) {
    if (!port_.SetLine(packet::LineSpeed(index), kLine8N1Bits, 0, 0)) {
        return false;
    }
    Pause(5);
    speedPacket_ = true;
    const uint8_t payload[6] = {command::kSetRegister, kSpeedRegister, 0, 0, 0, 0};
    // A silent line costs one time-out, not three.
    SendCommand(payload, portflag::kNak);
    speedPacket_ = false;
    const bool heard = port_.flags == 0;
    return port_.SetLine(kDefaultSpeed, kLine8N1Bits, 0, 0) && heard;
}

bool PacketLink::ResetLineSpeed() {
    speedPacket_ = true;
    if (!SetRegister(kSpeedRegister, 0)) {
        status = packetstatus::kSpeedResetRefused;
        return false;
    }
    if (!port_.SetLine(kDefaultSpeed, kLine8N1Bits, 0, 0)) {
        status = packetstatus::kLineFailed;
        return false;
    }
    return true;
}

} // namespace pixlor
