// Records conversations with the fake camera as seeds of fuzz_link_answers:
// the session of LinkSession.h runs against FakeCamera, and the bytes each
// read delivered are regrouped into the chunks that the fuzz target hands out
// when the host reads with nothing queued. Usage: fuzz_make_seeds <folder>.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "LinkSession.h"
#include "fakes/FakeCamera.h"

namespace {

using namespace pixlor;
using fakes::CameraFault;
using fakes::FakeCamera;
using fakes::FakePicture;
using fakes::FakeSerialDevice;
using fakes::SerialCall;
using fakes::SerialOp;

// A chunk holds the bytes of consecutive reads; it ends with a read that got
// less than it asked for or with a purge of the receive queue. A read that got
// nothing found the queue empty, so it has a chunk of its own.
std::vector<std::vector<uint8_t>> Chunks(const std::vector<SerialCall>& calls) {
    std::vector<std::vector<uint8_t>> chunks;
    bool open = false;
    for (const SerialCall& call : calls) {
        if (call.op == SerialOp::Purge && call.ok && (call.mask & kPurgeRxClear) != 0) {
            open = false;
        }
        if (call.op != SerialOp::Read || !call.ok) {
            continue;
        }
        if (call.bytes.empty()) {
            chunks.emplace_back();
            open = false;
            continue;
        }
        if (!open) {
            chunks.emplace_back();
            open = true;
        }
        chunks.back().insert(chunks.back().end(), call.bytes.begin(), call.bytes.end());
        if (call.bytes.size() < call.count) {
            open = false;
        }
    }
    return chunks;
}

std::vector<uint8_t> Seed(const fuzz::SessionOptions& options,
                          const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> out(fuzz::kOptionBytes);
    options.To(out.data());
    for (const auto& chunk : chunks) {
        out.push_back(static_cast<uint8_t>(chunk.size()));
        out.push_back(static_cast<uint8_t>(chunk.size() >> 8));
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

void Write(const std::string& path, const std::vector<uint8_t>& out, size_t chunks) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    std::printf("%s: %zu bytes, %zu chunks\n", path.c_str(), out.size(), chunks);
}

struct Scenario {
    const char* name;
    fuzz::SessionOptions options;
    std::vector<FakePicture> pictures;
    bool refuseSubCode0 = false;
    std::vector<CameraFault> faults;
    uint32_t packetSize = 1000;
    uint32_t infoLength = 24;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    fuzz::SessionOptions copyAll;
    copyAll.thumbnails = true;
    copyAll.deletions = 1;
    fuzz::SessionOptions cancel = copyAll;
    cancel.cancelAt = 2;
    fuzz::SessionOptions slowTaken;
    slowTaken.speedIndex = 1;
    slowTaken.namesTaken = true;
    slowTaken.deletions = 2;
    const uint32_t k15June2002 = 0x3D0B3375;
    const std::vector<FakePicture> three = {FakePicture::Sized(2500, 300, k15June2002, 1),
                                            FakePicture::Sized(1000, 0, 0xFFFFFFFF, 2),
                                            FakePicture::Sized(0, 120, 0x7FFFFFFF, 3)};
    const std::vector<Scenario> scenarios = {
        {"conversation", copyAll, three, false, {}},
        {"empty_camera", copyAll, {}, false, {}},
        {"refuses_subcode0", slowTaken, three, true, {}},
        {"cancelled", cancel, three, false, {}},
        {"retries",
         copyAll,
         three,
         false,
         {CameraFault::None, CameraFault::Nak, CameraFault::None, CameraFault::Corrupt,
          CameraFault::None, CameraFault::Junk, CameraFault::None, CameraFault::None,
          CameraFault::Silent, CameraFault::None, CameraFault::Refuse}},
        {"oversized",
         copyAll,
         three,
         false,
         {CameraFault::None, CameraFault::None, CameraFault::None, CameraFault::Oversized}},
        {"short_info", copyAll, three, false, {}, 97, 12},
    };
    for (const Scenario& s : scenarios) {
        FakeSerialDevice device;
        FakeCamera camera(device);
        camera.pictures = s.pictures;
        camera.refuseSubCode0 = s.refuseSubCode0;
        camera.faults.assign(s.faults.begin(), s.faults.end());
        camera.packetSize = s.packetSize;
        camera.infoLength = s.infoLength;
        fuzz::RunSession(device, s.options);
        const auto chunks = Chunks(device.calls);
        const std::vector<uint8_t> seed = Seed(s.options, chunks);

        // The seed must replay the same conversation: the host writes the same bytes.
        FakeSerialDevice replay;
        fuzz::Answers answers(seed.data() + fuzz::kOptionBytes, seed.size() - fuzz::kOptionBytes);
        answers.Attach(replay);
        fuzz::RunSession(replay, s.options);
        if (replay.Written() != device.Written()) {
            std::fprintf(stderr, "%s: the replay differs from the recording\n", s.name);
            return 1;
        }
        Write(folder + "/" + s.name, seed, chunks.size());
    }
    return 0;
}
