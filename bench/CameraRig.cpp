#include "bench/CameraRig.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "tools/camsim/SamplePictures.h"

namespace pixlor::bench {
namespace fs = std::filesystem;

CameraRig::CameraRig(std::vector<camsim::Picture> pictures, uint32_t packetSize,
                     const std::string& traceFile) {
    static std::atomic<int> serial{0};
    dir_ = fs::temp_directory_path() /
           ("pixlor-bench-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (ec) {
        error_ = "cannot create " + dir_.string() + ": " + ec.message();
        return;
    }
    setenv("PIXLOR_DEVICES", dir_.c_str(), 1);
    camsim::Options options;
    options.pictures = std::move(pictures);
    options.camera.packetSize = packetSize;
    options.pace = true;
    options.strictSpeed = true;
    options.traceFile = traceFile;
    sim_ = std::make_unique<camsim::Simulator>(std::move(options));
    started_ = sim_->Start((dir_ / ("com" + std::to_string(kRigPort + 1))).string());
    if (!started_) {
        error_ = sim_->Error();
    }
}

CameraRig::~CameraRig() {
    sim_.reset();
    unsetenv("PIXLOR_DEVICES");
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

camsim::Picture PictureOfSize(std::size_t size, unsigned seed) {
    camsim::Picture picture;
    picture.photo = camsim::MakeJpeg(320, 240, seed);
    picture.thumbnail = camsim::MakeJpeg(80, 60, seed);
    picture.time = 1021636800 + seed; // 17 May 2002
    camsim::ResizePhoto(picture, size);
    return picture;
}

std::vector<camsim::Picture> CheapPictures(std::size_t count) {
    std::vector<camsim::Picture> pictures(count);
    for (std::size_t i = 0; i < count; ++i) {
        pictures[i].photo.assign(1000 + i, static_cast<uint8_t>(i));
        pictures[i].thumbnail.assign(100, static_cast<uint8_t>(i));
        pictures[i].time = static_cast<uint32_t>(1021636800 + 3600 * i);
    }
    return pictures;
}

Spread SpreadOf(std::vector<double> seconds) {
    if (seconds.empty()) {
        return {};
    }
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    const double median = n % 2 == 1 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
    return {seconds.front(), median};
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace pixlor::bench
