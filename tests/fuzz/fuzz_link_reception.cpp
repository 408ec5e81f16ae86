// The packet link's reception, primitive by primitive, as the camera's bytes
// drive it, on a port the handshake has opened: each step of the input is one
// byte that picks a primitive of the
// link (a register read or write, a data request, an acknowledgement or NAK
// asking for the next packet, an action, the handshake) and a chunk of what
// the camera sends meanwhile (a 1-byte length, so answers, data packets, stray
// control bytes and headers announcing any length come in pieces of any
// size), which arrives at the step's first read. A later read with nothing
// queued times out.
#include <cstddef>
#include <cstdint>

#include "LinkSession.h"
#include "camera/PacketLink.h"
#include "platform/SystemError.h"

namespace {

using namespace pixlor;

// `strict`: the primitive's result and its status agree (the register
// primitives and the handshake); the data primitives leave the verdict to the
// flags, which the camera object reads.
void CheckStep(const PacketLink& link, bool ok, bool dataDue, bool strict) {
    FUZZ_CHECK(link.status >= packetstatus::kOk && link.status <= packetstatus::kReceiveFailed);
    FUZZ_CHECK((link.Port().flags & ~fuzz::kDefinedFlags) == 0);
    // An oversized header stays in the buffer, but its payload is never read.
    FUZZ_CHECK(link.PacketPayload().size() <= packet::kMaxPayload);
    FUZZ_CHECK(link.PacketPayloadLength() > packet::kMaxPayload ||
               link.PacketPayload().size() == link.PacketPayloadLength());
    if (strict && ok) {
        FUZZ_CHECK(link.status == packetstatus::kOk);
    } else if (strict) {
        FUZZ_CHECK(link.status != packetstatus::kOk);
    }
    if (ok && dataDue && link.Port().flags == 0) {
        // A data packet was taken only whole and with its checksum.
        const uint8_t type = link.PacketType();
        FUZZ_CHECK(type == ctrl::kMore || type == ctrl::kLast);
        const auto payload = link.PacketPayload();
        const uint8_t* sum = link.Buffer() + packet::kHeaderSize + payload.size();
        FUZZ_CHECK(packet::Checksum(payload) == static_cast<uint16_t>(sum[0] | sum[1] << 8));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fakes::FakeSerialDevice device;
    fakes::FakeSerialFactory factory(device);
    fuzz::BoundedSleeper sleeper;
    FakeClock clock;
    ScopedPlatform scope(Platform{.serial = &factory, .sleeper = &sleeper, .clock = &clock});
    PacketLink link(1);
    // The port is opened by the handshake, answered as the camera does.
    device.onWrite = [](fakes::FakeSerialDevice& d, std::span<const uint8_t> bytes) {
        if (bytes.size() == 1 && bytes[0] == ctrl::kProbe) {
            d.Queue({ctrl::kNak});
        }
    };
    FUZZ_CHECK(link.Handshake());
    device.onWrite = nullptr;
    size_t at = 0;
    int steps = 0;
    while (at < size && steps++ < 64) {
        const uint8_t op = data[at++];
        const size_t length = at < size ? data[at++] : 0;
        const size_t take = std::min(length, size - at);
        // The chunk arrives at the step's first read of an empty line (the
        // link discards what is queued before it writes).
        device.inbound.clear();
        std::span<const uint8_t> chunk(data + at, take);
        device.onRead = [&chunk](fakes::FakeSerialDevice& d) {
            d.Queue(chunk);
            chunk = {};
        };
        at += take;
        // Bits 6 and 7: the step's first read or write fails as on a device that is gone.
        if ((op & 0x40) != 0) {
            device.FailOn(fakes::SerialOp::Read, 1, false, syserr::kGenFailure);
        }
        if ((op & 0x80) != 0) {
            device.FailOn(fakes::SerialOp::Write, 1, false, syserr::kGenFailure);
        }
        uint32_t value = 0;
        bool ok = false;
        bool dataDue = false;
        switch (op % 8) {
        case 0:
            ok = link.Handshake();
            break;
        case 1:
            ok = link.GetRegister(static_cast<uint8_t>(op >> 3), value);
            dataDue = true;
            break;
        case 2:
            ok = link.SetRegister(static_cast<uint8_t>(op >> 3), op);
            break;
        case 3:
            ok = link.RequestData(static_cast<uint8_t>(op >> 3));
            dataDue = true;
            break;
        case 4:
            ok = link.AcknowledgeAndReceive(false);
            dataDue = true;
            break;
        case 5:
            ok = link.AcknowledgeAndReceive(true);
            dataDue = true;
            break;
        case 6:
            ok = link.Action(0, static_cast<uint8_t>(op >> 3), 1000);
            break;
        default:
            ok = link.SendByte(op);
            break;
        }
        CheckStep(link, ok, dataDue, op % 8 <= 2);
        link.Port().flags = 0;
    }
    device.onRead = nullptr;
    return 0;
}
