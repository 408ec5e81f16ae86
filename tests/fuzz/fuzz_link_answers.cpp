// The camera's answers as the packet link and the camera object see them. The
// input after the four option bytes (LinkSession.h) is what the camera sends:
// chunks of a 2-byte little-endian length and that many bytes. Whenever the
// host reads with nothing queued, the next chunk arrives; without one the read
// times out, as a silent camera does.
#include <cstddef>
#include <cstdint>

#include "LinkSession.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < pixlor::fuzz::kOptionBytes) {
        return 0;
    }
    const auto options = pixlor::fuzz::SessionOptions::From(data);
    pixlor::fuzz::Answers answers(data + pixlor::fuzz::kOptionBytes,
                                  size - pixlor::fuzz::kOptionBytes);
    pixlor::fakes::FakeSerialDevice device;
    answers.Attach(device);
    pixlor::fuzz::RunSession(device, options);
    return 0;
}
