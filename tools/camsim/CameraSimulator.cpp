#include "tools/camsim/CameraSimulator.h"

#include <algorithm>
#include <array>
#include <utility>

namespace camsim {
namespace {

constexpr std::uint8_t kMarkerCommand = 0x43; // 'C'
constexpr std::uint8_t kMarkerSpeed = 0x53;   // 'S', the packets that set register 17
constexpr std::uint8_t kCmdSet = 0x00;
constexpr std::uint8_t kCmdGet = 0x01;
constexpr std::uint8_t kCmdAction = 0x02;
constexpr std::uint8_t kCmdRequest = 0x04;
constexpr std::uint8_t kRegSelect = 4;
constexpr std::uint8_t kRegCount = 10;
constexpr std::uint8_t kRegSpeed = 17;
constexpr std::uint8_t kReqPhoto = 0x0E;
constexpr std::uint8_t kReqThumb = 0x0F;
constexpr std::uint8_t kReqInfo = 0x2F;
constexpr std::uint8_t kDeleteLast = 0;
constexpr std::uint8_t kDeleteSelected = 7;

void PutLe32(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetLe32(std::span<const std::uint8_t> in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

Bytes Le32(std::uint32_t value) {
    Bytes out(4);
    PutLe32(out, 0, value);
    return out;
}

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

bool IsDataAnswer(Kind kind) {
    return kind == Kind::Count || kind == Kind::GetOther || kind == Kind::Info ||
           kind == Kind::Photo || kind == Kind::Thumb;
}

} // namespace

std::uint16_t Checksum(std::span<const std::uint8_t> payload) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : payload) {
        sum += b;
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

Bytes DataPacket(std::uint8_t type, std::span<const std::uint8_t> payload) {
    Bytes out;
    out.reserve(payload.size() + 6);
    const auto n = static_cast<std::uint16_t>(payload.size());
    const std::uint16_t sum = Checksum(payload);
    out.push_back(type);
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(n & 0xFF));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.insert(out.end(), payload.begin(), payload.end());
    out.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    out.push_back(static_cast<std::uint8_t>(sum >> 8));
    return out;
}

Bytes InfoRecord(std::uint32_t photoSize, std::uint32_t thumbnailSize, std::uint32_t time) {
    Bytes out(24, 0);
    PutLe32(out, 0, photoSize);
    PutLe32(out, 4, thumbnailSize);
    PutLe32(out, 20, time);
    return out;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) {
        c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t SpeedOfIndex(std::uint32_t index) {
    static constexpr std::array<std::uint32_t, 6> kSpeeds{19200, 9600, 19200, 38400, 57600, 115200};
    return index < kSpeeds.size() ? kSpeeds[index] : 0;
}

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::Probe:
        return "probe";
    case Kind::Select:
        return "select";
    case Kind::Speed:
        return "speed";
    case Kind::SetOther:
        return "set";
    case Kind::Count:
        return "count";
    case Kind::GetOther:
        return "get";
    case Kind::Info:
        return "info";
    case Kind::Photo:
        return "photo";
    case Kind::Thumb:
        return "thumb";
    case Kind::RequestOther:
        return "request";
    case Kind::Action:
        return "action";
    case Kind::Unknown:
        return "unknown";
    case Kind::Corrupt:
        return "corrupt";
    case Kind::Ack:
        return "ack";
    case Kind::Nak:
        return "nak";
    case Kind::Cancel:
        return "cancel";
    case Kind::Stray:
        return "stray";
    }
    return "?";
}

bool Matches(Target target, Kind kind) {
    switch (target) {
    case Target::Any:
        return kind != Kind::Ack && kind != Kind::Nak && kind != Kind::Cancel &&
               kind != Kind::Stray && kind != Kind::Corrupt;
    case Target::Probe:
        return kind == Kind::Probe;
    case Target::Set:
        return kind == Kind::Select || kind == Kind::Speed || kind == Kind::SetOther;
    case Target::Select:
        return kind == Kind::Select;
    case Target::Speed:
        return kind == Kind::Speed;
    case Target::Get:
        return kind == Kind::Count || kind == Kind::GetOther;
    case Target::Count:
        return kind == Kind::Count;
    case Target::Request:
        return kind == Kind::Info || kind == Kind::Photo || kind == Kind::Thumb ||
               kind == Kind::RequestOther;
    case Target::Info:
        return kind == Kind::Info;
    case Target::Photo:
        return kind == Kind::Photo;
    case Target::Thumb:
        return kind == Kind::Thumb;
    case Target::Delete:
        return kind == Kind::Action;
    case Target::Ack:
        return kind == Kind::Ack;
    }
    return false;
}

CameraSimulator::CameraSimulator(CameraConfig config, std::vector<Picture> pictures)
    : config_(config), pictures_(std::move(pictures)) {
    config_.packetSize = std::clamp<std::size_t>(config_.packetSize, 1, kMaxPacketSize);
}

void CameraSimulator::AddFault(const Fault& fault) {
    ActiveFault active{fault, 0, 1};
    if (fault.kind == FaultKind::Nak || fault.kind == FaultKind::Silent) {
        active.left = fault.count;
    }
    if (fault.kind == FaultKind::Slow) {
        slow_ = std::chrono::milliseconds(fault.ms);
        return;
    }
    faults_.push_back(active);
}

void CameraSimulator::ClearFaults() {
    faults_.clear();
    slow_ = std::chrono::milliseconds(0);
}

Received& CameraSimulator::Log(Kind kind, Bytes bytes, Clock::time_point now) {
    Received rx;
    rx.kind = kind;
    rx.bytes = std::move(bytes);
    rx.hostSpeed = hostSpeed_;
    rx.when = now;
    log_.push_back(std::move(rx));
    return log_.back();
}

std::optional<Clock::time_point> CameraSimulator::Deadline() const {
    if (rx_.empty()) {
        return std::nullopt;
    }
    return lastByte_ + config_.interByteTimeout;
}

void CameraSimulator::Tick(Clock::time_point now, std::vector<Reply>& replies) {
    // A packet left unfinished: the host waits for an answer, so tell it.
    if (!rx_.empty() && now >= lastByte_ + config_.interByteTimeout) {
        Log(Kind::Corrupt, std::exchange(rx_, {}), lastByte_);
        replies.push_back(Reply{{kNak}, lineSpeed_, slow_});
    }
}

void CameraSimulator::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now,
                           std::vector<Reply>& replies) {
    Tick(now, replies);
    for (std::uint8_t b : bytes) {
        Byte(b, now, replies);
    }
}

void CameraSimulator::Byte(std::uint8_t b, Clock::time_point now, std::vector<Reply>& replies) {
    if (!rx_.empty()) {
        rx_.push_back(b);
        lastByte_ = now;
        if (rx_.size() >= 4) {
            const std::size_t n = rx_[2] | static_cast<std::size_t>(rx_[3]) << 8;
            if (rx_.size() == n + 6) {
                Packet(now, replies);
            }
        }
        return;
    }
    if (b == kEsc) {
        EndTransfer(); // a new command ends whatever was waiting for the host
        rx_.push_back(b);
        lastByte_ = now;
        return;
    }
    if (b == kProbe) {
        EndTransfer();
        Received rx = Log(Kind::Probe, {b}, now);
        Execute(rx, replies);
        return;
    }
    if (awaiting_ && (b == kAck || b == kNak || b == kCancel)) {
        const Kind kind = b == kAck ? Kind::Ack : b == kNak ? Kind::Nak : Kind::Cancel;
        Received rx = Log(kind, {b}, now);
        Execute(rx, replies);
        return;
    }
    Log(Kind::Stray, {b}, now);
}

void CameraSimulator::Packet(Clock::time_point now, std::vector<Reply>& replies) {
    Bytes bytes = std::exchange(rx_, {});
    const std::size_t n = bytes[2] | static_cast<std::size_t>(bytes[3]) << 8;
    const std::span<const std::uint8_t> payload(bytes.data() + 4, n);
    const std::uint16_t sum = static_cast<std::uint16_t>(bytes[4 + n] | bytes[5 + n] << 8);
    const std::uint8_t marker = bytes[1];
    if ((marker != kMarkerCommand && marker != kMarkerSpeed) || Checksum(payload) != sum) {
        Log(Kind::Corrupt, std::move(bytes), now).marker = marker;
        replies.push_back(Reply{{kNak}, lineSpeed_, slow_});
        return;
    }

    Kind kind = Kind::Unknown;
    std::uint8_t reg = 0;
    std::uint32_t value = 0;
    const std::uint8_t code = n > 0 ? payload[0] : 0xFF;
    if (code == kCmdSet && n == 6) {
        reg = payload[1];
        value = GetLe32(payload.subspan(2));
        kind = reg == kRegSelect ? Kind::Select : reg == kRegSpeed ? Kind::Speed : Kind::SetOther;
    } else if (code == kCmdGet && n == 2) {
        reg = payload[1];
        kind = reg == kRegCount ? Kind::Count : Kind::GetOther;
    } else if (code == kCmdRequest && n == 2) {
        reg = payload[1];
        kind = reg == kReqInfo    ? Kind::Info
               : reg == kReqPhoto ? Kind::Photo
               : reg == kReqThumb ? Kind::Thumb
                                  : Kind::RequestOther;
    } else if (code == kCmdAction && n == 3) {
        reg = payload[1];
        value = payload[2];
        kind = Kind::Action;
    }
    Received& logged = Log(kind, std::move(bytes), now);
    logged.marker = marker;
    logged.code = code;
    logged.reg = reg;
    logged.value = value;
    Received rx = logged;
    Execute(rx, replies);
}

void CameraSimulator::Execute(Received& rx, std::vector<Reply>& replies) {
    const Kind kind = rx.kind;
    if (kind == Kind::Nak) { // the host asks for the same packet again
        SendPacket(replies, slow_, std::nullopt);
        return;
    }
    if (kind == Kind::Cancel) {
        EndTransfer();
        return;
    }

    // Answer faults: at most one replaces the answer; delays add up.
    const ActiveFault* replace = nullptr;
    std::chrono::milliseconds delay = slow_;
    for (ActiveFault& f : faults_) {
        if (!IsAnswerFault(f.fault.kind) || !Matches(f.fault.target, kind)) {
            continue;
        }
        ++f.seen;
        if (f.seen < f.fault.nth || f.left == 0) {
            continue;
        }
        if (f.fault.kind == FaultKind::Delay) {
            --f.left;
            delay += std::chrono::milliseconds(f.fault.ms);
        } else if (!replace) {
            --f.left;
            replace = &f;
        }
    }
    auto answer = [&](std::uint8_t byte) { replies.push_back(Reply{{byte}, lineSpeed_, delay}); };
    std::optional<std::uint8_t> replaceFirst;
    if (replace) {
        switch (replace->fault.kind) {
        case FaultKind::Silent:
            return; // not heard: nothing changes
        case FaultKind::Nak:
            answer(kNak);
            return;
        case FaultKind::Refuse:
            EndTransfer();
            answer(kRefuse);
            return;
        case FaultKind::Byte:
            // A data answer garbled on the line: the packet stays ready for a NAK.
            if (!IsDataAnswer(kind)) {
                EndTransfer();
                answer(replace->fault.byte);
                return;
            }
            replaceFirst = replace->fault.byte;
            break;
        default:
            break;
        }
    }

    const auto count = static_cast<std::uint32_t>(pictures_.size());
    const bool selectedValid = selected_ >= 1 && selected_ <= count;
    auto refuse = [&] {
        if (replaceFirst) {
            answer(*replaceFirst);
        } else {
            answer(kRefuse);
        }
    };
    switch (kind) {
    case Kind::Probe:
        answer(kNak);
        break;
    case Kind::Select:
        if (rx.value >= 1 && rx.value <= count) {
            selected_ = rx.value;
            answer(kAck);
        } else {
            answer(kRefuse);
        }
        break;
    case Kind::Speed:
        if (SpeedOfIndex(rx.value) != 0) {
            answer(kAck); // still at the old speed; the line changes after the ACK
            speedIndex_ = rx.value;
            lineSpeed_ = SpeedOfIndex(rx.value);
        } else {
            answer(kRefuse);
        }
        break;
    case Kind::Count:
        StartTransfer(kind, Source::Register, Le32(count), replies, delay, replaceFirst);
        break;
    case Kind::GetOther:
        if (rx.reg == 1) {
            StartTransfer(kind, Source::Register, Le32(config_.register1), replies, delay,
                          replaceFirst);
        } else if (rx.reg == kRegSelect) {
            StartTransfer(kind, Source::Register, Le32(selected_), replies, delay, replaceFirst);
        } else if (rx.reg == kRegSpeed) {
            StartTransfer(kind, Source::Register, Le32(speedIndex_), replies, delay, replaceFirst);
        } else {
            refuse();
        }
        break;
    case Kind::Info:
        if (selectedValid) {
            const Picture& p = pictures_[selected_ - 1];
            const auto photoSize =
                p.reportedPhotoSize.value_or(static_cast<std::uint32_t>(p.photo.size()));
            const auto thumbSize =
                p.reportedThumbnailSize.value_or(static_cast<std::uint32_t>(p.thumbnail.size()));
            StartTransfer(kind, Source::Info, InfoRecord(photoSize, thumbSize, p.time), replies,
                          delay, replaceFirst);
        } else {
            refuse();
        }
        break;
    case Kind::Photo:
    case Kind::Thumb:
        if (selectedValid) {
            pictureIndex_ = selected_ - 1;
            StartTransfer(kind, kind == Kind::Photo ? Source::Photo : Source::Thumb, {}, replies,
                          delay, replaceFirst);
        } else {
            refuse();
        }
        break;
    case Kind::Action: {
        std::optional<std::size_t> victim;
        if (rx.reg == kDeleteLast && rx.value == 0 && count > 0 && !config_.refuseDeleteLast) {
            victim = count - 1;
        } else if (rx.reg == kDeleteSelected && rx.value == 0 && selectedValid) {
            victim = selected_ - 1;
        }
        if (!victim) {
            answer(kRefuse);
            break;
        }
        // Register 4 keeps its number: the host relies on its selection surviving.
        pictures_.erase(pictures_.begin() + static_cast<std::ptrdiff_t>(*victim));
        ++deletions_;
        answer(kAck);
        Reply done{{kDone}, lineSpeed_, config_.deleteTime + slow_};
        done.afterHostPurge = true;
        replies.push_back(std::move(done));
        break;
    }
    case Kind::Ack:
        if (offset_ + chunk_ >= SourceBytes().size()) {
            EndTransfer();
        } else {
            offset_ += chunk_;
            chunk_ = std::min(config_.packetSize, SourceBytes().size() - offset_);
            SendPacket(replies, delay, std::nullopt);
        }
        break;
    case Kind::SetOther:
    case Kind::RequestOther:
    case Kind::Unknown:
        answer(kRefuse);
        break;
    default:
        break;
    }
}

std::span<const std::uint8_t> CameraSimulator::SourceBytes() const {
    switch (source_) {
    case Source::Photo:
        return pictures_[pictureIndex_].photo;
    case Source::Thumb:
        return pictures_[pictureIndex_].thumbnail;
    default:
        return inlinePayload_;
    }
}

void CameraSimulator::StartTransfer(Kind kind, Source source, Bytes registerValue,
                                    std::vector<Reply>& replies, std::chrono::milliseconds delay,
                                    std::optional<std::uint8_t> replaceFirst) {
    transferKind_ = kind;
    source_ = source;
    inlinePayload_ = std::move(registerValue);
    offset_ = 0;
    // A register value or an information record always travels in one packet.
    chunk_ = source == Source::Photo || source == Source::Thumb
                 ? std::min(config_.packetSize, SourceBytes().size())
                 : SourceBytes().size();
    SendPacket(replies, delay, replaceFirst);
}

Bytes CameraSimulator::BuildPacket() const {
    const auto all = SourceBytes();
    const bool last = offset_ + chunk_ >= all.size();
    return DataPacket(last ? kLast : kMore, all.subspan(offset_, chunk_));
}

void CameraSimulator::SendPacket(std::vector<Reply>& replies, std::chrono::milliseconds delay,
                                 std::optional<std::uint8_t> replaceWith) {
    awaiting_ = true;
    if (replaceWith) {
        replies.push_back(Reply{{*replaceWith}, lineSpeed_, delay});
        return;
    }
    Bytes packet = BuildPacket();
    bool corrupt = false;
    bool cut = false;
    bool vanish = false;
    for (ActiveFault& f : faults_) {
        if (IsAnswerFault(f.fault.kind) || !Matches(f.fault.target, transferKind_)) {
            continue;
        }
        ++f.seen;
        const bool due = f.seen == f.fault.count;
        switch (f.fault.kind) {
        case FaultKind::Checksum:
            corrupt |= due;
            break;
        case FaultKind::ChecksumAlways:
            corrupt |= f.seen >= f.fault.count;
            break;
        case FaultKind::Cut:
            cut |= due;
            break;
        case FaultKind::Vanish:
            vanish |= due;
            break;
        default:
            break;
        }
    }
    if (corrupt) {
        packet[packet.size() - 2] ^= 0x01; // the sum no longer matches
    }
    if (cut) {
        packet.resize(std::max<std::size_t>(1, packet.size() / 2));
    }
    Reply reply{std::move(packet), lineSpeed_, delay};
    reply.thenVanish = vanish;
    replies.push_back(std::move(reply));
}

std::vector<PictureSummary> CameraSimulator::Summaries() const {
    std::vector<PictureSummary> out;
    out.reserve(pictures_.size());
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        const Picture& p = pictures_[i];
        out.push_back(PictureSummary{static_cast<std::uint32_t>(i + 1),
                                     static_cast<std::uint32_t>(p.photo.size()),
                                     static_cast<std::uint32_t>(p.thumbnail.size()), p.time,
                                     Crc32(p.photo), Crc32(p.thumbnail)});
    }
    return out;
}

} // namespace camsim
