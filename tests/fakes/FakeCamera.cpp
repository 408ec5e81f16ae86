#include "fakes/FakeCamera.h"

#include <algorithm>

namespace pixlor::fakes {
namespace {

constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kRefused = 0x11;

void PutLe32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

} // namespace

FakePicture FakePicture::Sized(uint32_t photoSize, uint32_t thumbnailSize, uint32_t time,
                               uint8_t seed) {
    FakePicture p;
    p.time = time;
    p.photo.resize(photoSize);
    p.thumbnail.resize(thumbnailSize);
    for (uint32_t i = 0; i < photoSize; ++i) {
        p.photo[i] = static_cast<uint8_t>(i * 7 + seed);
    }
    for (uint32_t i = 0; i < thumbnailSize; ++i) {
        p.thumbnail[i] = static_cast<uint8_t>(i * 3 + seed + 1);
    }
    return p;
}

FakeCamera::FakeCamera(FakeSerialDevice& device) : device_(device) {
    device_.onWrite = [this](FakeSerialDevice&, std::span<const uint8_t> bytes) { OnWrite(bytes); };
    device_.onRead = [this](FakeSerialDevice& d) {
        if (!later_.empty()) {
            d.Queue(later_);
            later_.clear();
        }
    };
}

FakeCamera::~FakeCamera() {
    device_.onWrite = nullptr;
    device_.onRead = nullptr;
}

std::vector<ReceivedCommand> FakeCamera::CommandsOf(uint8_t code) const {
    std::vector<ReceivedCommand> found;
    std::copy_if(commands.begin(), commands.end(), std::back_inserter(found),
                 [code](const ReceivedCommand& c) { return c.payload.at(0) == code; });
    return found;
}

void FakeCamera::OnWrite(std::span<const uint8_t> bytes) {
    if (strictSpeed && device_.line.baudRate != lineSpeed) {
        bytesLost += static_cast<int>(bytes.size());
        return;
    }
    for (uint8_t b : bytes) {
        if (pending_.empty() && b != 0x1B) {
            OnControl(b);
            continue;
        }
        pending_.push_back(b);
        if (pending_.size() < 4) {
            continue;
        }
        const size_t n = pending_[2] | (pending_[3] << 8);
        if (pending_.size() < 4 + n + 2) {
            continue;
        }
        ReceivedCommand command;
        command.marker = pending_[1];
        command.payload.assign(pending_.begin() + 4, pending_.begin() + 4 + n);
        uint32_t sum = 0;
        for (uint8_t p : command.payload) {
            sum += p;
        }
        command.checksumOk =
            static_cast<uint32_t>(pending_[4 + n] | (pending_[5 + n] << 8)) == (sum & 0xFFFF);
        pending_.clear();
        commands.push_back(command);
        OnCommand(command);
    }
}

void FakeCamera::Answer(std::vector<uint8_t> bytes) {
    if (fault_ != CameraFault::Silent) {
        device_.Queue(bytes);
    }
}

// Each host message that expects an answer takes the next queued fault.
void FakeCamera::OnMessage() {
    fault_.reset();
    if (!faults.empty()) {
        fault_ = faults.front();
        faults.pop_front();
    }
}

void FakeCamera::SendData(uint8_t type, std::span<const uint8_t> payload) {
    const auto n = static_cast<uint16_t>(payload.size());
    std::vector<uint8_t> packet = {type, 0x00, static_cast<uint8_t>(n),
                                   static_cast<uint8_t>(n >> 8)};
    packet.insert(packet.end(), payload.begin(), payload.end());
    uint32_t sum = 0;
    for (uint8_t p : payload) {
        sum += p;
    }
    packet.push_back(static_cast<uint8_t>(sum));
    packet.push_back(static_cast<uint8_t>(sum >> 8));
    lastPacket_ = packet;
    if (fault_ == CameraFault::Corrupt) {
        packet[packet.size() - 2] ^= 0x01;
    }
    if (fault_ == CameraFault::Ack) {
        packet[0] = kAck;
    }
    Answer(packet);
}

void FakeCamera::SendTransferPacket() {
    const size_t size = transfer_->size();
    const size_t chunk = std::min<size_t>(packetSize, size - transferOffset_);
    const uint8_t type = transferOffset_ + chunk >= size ? 0x03 : 0x02;
    SendData(type, {transfer_->data() + transferOffset_, chunk});
    transferOffset_ += chunk;
}

std::vector<uint8_t> FakeCamera::InfoPayload() const {
    std::vector<uint8_t> info(24, 0);
    const uint32_t number = registers.contains(4) ? registers.at(4) : 0;
    if (number >= 1 && number <= pictures.size()) {
        const FakePicture& p = pictures[number - 1];
        PutLe32(info, 0, p.reportedPhotoSize.value_or(static_cast<uint32_t>(p.photo.size())));
        PutLe32(info, 4, static_cast<uint32_t>(p.thumbnail.size()));
        PutLe32(info, 20, p.time);
    }
    info.resize(infoLength, 0);
    return info;
}

// Answers a fault instead of the normal answer; false when the normal answer goes on.
static bool Faulted(const std::optional<CameraFault>& fault, FakeSerialDevice& device) {
    if (!fault) {
        return false;
    }
    switch (*fault) {
    case CameraFault::None:
    case CameraFault::Silent: // Answer() drops it
        return false;
    case CameraFault::Nak:
        device.Queue({kNak});
        return true;
    case CameraFault::Refuse:
        device.Queue({kRefused});
        return true;
    case CameraFault::Junk:
        device.Queue({0x42});
        return true;
    case CameraFault::Ack:
        return false; // SendData garbles the answer
    case CameraFault::Oversized:
        device.Queue({0x02, 0x00, 0xFA, 0x7F, 0x01, 0x02});
        return true;
    case CameraFault::Corrupt:
        return false;
    }
    return false;
}

void FakeCamera::OnControl(uint8_t byte) {
    controlBytes.push_back(byte);
    switch (byte) {
    case 0x00:
        ++probes;
        OnMessage();
        if (awake && !Faulted(fault_, device_)) {
            Answer({kNak});
        }
        break;
    case kAck:
        if (transfer_ == nullptr) {
            break; // acknowledges a single answer: nothing follows
        }
        if (lastPacket_.at(0) == 0x03) {
            transfer_ = nullptr;
            break;
        }
        OnMessage();
        if (!Faulted(fault_, device_)) {
            SendTransferPacket();
        }
        break;
    case kNak:
        OnMessage();
        if (!lastPacket_.empty() && !Faulted(fault_, device_)) {
            std::vector<uint8_t> again = lastPacket_;
            if (fault_ == CameraFault::Corrupt && again.size() >= 6) {
                again[again.size() - 2] ^= 0x01;
            }
            if (fault_ == CameraFault::Ack) {
                again[0] = kAck;
            }
            Answer(again);
        }
        break;
    case 0x18:
        ++cancels;
        transfer_ = nullptr;
        break;
    default:
        break;
    }
}

void FakeCamera::OnCommand(const ReceivedCommand& command) {
    OnMessage();
    if (Faulted(fault_, device_)) {
        return;
    }
    const std::vector<uint8_t>& p = command.payload;
    if (!command.checksumOk || p.empty()) {
        Answer({kNak});
        return;
    }
    auto le32 = [&p](size_t at) {
        return uint32_t{p[at]} | uint32_t{p[at + 1]} << 8 | uint32_t{p[at + 2]} << 16 |
               uint32_t{p[at + 3]} << 24;
    };
    switch (p[0]) {
    case 0x00: // set register
        if (p.size() != 6) {
            Answer({kNak});
            return;
        }
        registers[p[1]] = le32(2);
        Answer({kAck}); // still at the old speed
        if (p[1] == 17) {
            speedIndexes.push_back(le32(2));
            static constexpr uint32_t kSpeeds[] = {19200, 9600, 19200, 38400, 57600, 115200};
            lineSpeed = le32(2) <= 5 ? kSpeeds[le32(2)] : lineSpeed;
        }
        return;
    case 0x01: { // get register
        const uint32_t value = p.at(1) == 10 ? static_cast<uint32_t>(pictures.size())
                                             : (registers.contains(p[1]) ? registers[p[1]] : 0);
        std::vector<uint8_t> payload(4);
        PutLe32(payload, 0, value);
        SendData(0x03, payload);
        return;
    }
    case 0x04: { // request data
        const uint32_t number = registers.contains(4) ? registers[4] : 0;
        const bool valid = number >= 1 && number <= pictures.size();
        if (p.at(1) == 0x2F) {
            SendData(0x03, InfoPayload());
            return;
        }
        if ((p[1] != 0x0E && p[1] != 0x0F) || !valid) {
            Answer({kRefused});
            return;
        }
        FakePicture& picture = pictures[number - 1];
        transfer_ = p[1] == 0x0E ? &picture.photo : &picture.thumbnail;
        transferOffset_ = 0;
        SendTransferPacket();
        return;
    }
    case 0x02: { // action
        const uint8_t sub = p.at(1);
        uint32_t number = 0;
        if (sub == 0 && !refuseSubCode0) {
            number = static_cast<uint32_t>(pictures.size()); // the last picture
        } else if (sub == 7) {
            number = registers.contains(4) ? registers[4] : 0;
        }
        if (number == 0 || number > pictures.size()) {
            Answer({kRefused});
            return;
        }
        pictures.erase(pictures.begin() + (number - 1));
        deleted.push_back(number);
        Answer({kAck});
        if (fault_ != CameraFault::Silent) {
            later_ = {static_cast<uint8_t>(completionByte)};
        }
        return;
    }
    default:
        Answer({kRefused});
        return;
    }
}

} // namespace pixlor::fakes
