#include "tools/camsim/SamplePictures.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace camsim {
namespace {

// 17 May 2002 10:00:00, 18 May 2002 09:15:00 and 15 June 2002 12:30:45 UTC.
constexpr std::uint32_t kMay17 = 1021629600;
constexpr std::uint32_t kMay18 = 1021713300;
constexpr std::uint32_t kJune15 = 0x3D0B3375;

struct Compressor {
    tjhandle handle = tjInitCompress();
    ~Compressor() {
        if (handle) {
            tjDestroy(handle);
        }
    }
};

Bytes Compress(const std::vector<unsigned char>& rgb, int width, int height, int quality) {
    Compressor c;
    if (!c.handle) {
        return {};
    }
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (tjCompress2(c.handle, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_420,
                    quality, TJFLAG_FASTDCT) != 0) {
        tjFree(out);
        return {};
    }
    Bytes jpeg(out, out + size);
    tjFree(out);
    return jpeg;
}

// A 1/8 (or the nearest available) scaled decode, compressed again.
Bytes Thumbnail(const Bytes& jpeg) {
    tjhandle d = tjInitDecompress();
    if (!d) {
        return {};
    }
    int width = 0;
    int height = 0;
    int subsamp = 0;
    int colorspace = 0;
    Bytes thumb;
    if (tjDecompressHeader3(d, jpeg.data(), jpeg.size(), &width, &height, &subsamp, &colorspace) ==
        0) {
        const int w = std::max(1, TJSCALED(width, (tjscalingfactor{1, 8})));
        const int h = std::max(1, TJSCALED(height, (tjscalingfactor{1, 8})));
        std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) *
                                       3);
        if (tjDecompress2(d, jpeg.data(), jpeg.size(), rgb.data(), w, 0, h, TJPF_RGB,
                          TJFLAG_FASTDCT) == 0) {
            thumb = Compress(rgb, w, h, 80);
        }
    }
    tjDestroy(d);
    return thumb;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

Bytes MakeJpeg(int width, int height, unsigned seed, int quality) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(height) * 3);
    const double hue = seed * 2.39996; // golden angle: neighbours differ in colour
    const double cx = width * (0.3 + 0.4 * std::fmod(seed * 0.37, 1.0));
    const double cy = height * (0.3 + 0.4 * std::fmod(seed * 0.61, 1.0));
    const double radius = std::min(width, height) * (0.15 + 0.05 * (seed % 4));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* px =
                &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                     3];
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            double r = 0.5 + 0.5 * std::sin(hue + 6.0 * u);
            double g = 0.5 + 0.5 * std::sin(hue + 2.1 + 5.0 * v);
            double b = 0.5 + 0.5 * std::sin(hue + 4.2 + 4.0 * (u + v));
            const double dx = x - cx;
            const double dy = y - cy;
            if (dx * dx + dy * dy < radius * radius) { // a disc in the complementary colour
                r = 1.0 - r;
                g = 1.0 - g;
                b = 1.0 - b;
            }
            if (((x / 16 + y / 16 + static_cast<int>(seed)) % 7) == 0) { // a few tiles
                r *= 0.6;
                g *= 0.6;
                b *= 0.6;
            }
            px[0] = static_cast<unsigned char>(r * 255);
            px[1] = static_cast<unsigned char>(g * 255);
            px[2] = static_cast<unsigned char>(b * 255);
        }
    }
    return Compress(rgb, width, height, quality);
}

std::vector<Picture> SamplePictures(std::size_t count) {
    std::vector<Picture> out;
    for (std::size_t i = 0; i < count; ++i) {
        const auto seed = static_cast<unsigned>(i + 1);
        Picture p;
        p.photo = MakeJpeg(320, 240, seed);
        p.thumbnail = MakeJpeg(80, 60, seed);
        switch (i) {
        case 0:
            p.time = kMay17;
            break;
        case 1:
            p.time = kMay17 + 300;
            break;
        case 2:
            p.time = kMay18;
            break;
        case 3:
            p.time = kMay18 + 4000;
            break;
        default:
            p.time = kJune15 + static_cast<std::uint32_t>(60 * (i - 4));
            break;
        }
        out.push_back(std::move(p));
    }
    return out;
}

bool LoadPictures(const std::string& dir, std::vector<Picture>& out, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if ((ext == ".jpg" || ext == ".jpeg") && entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    if (ec) {
        error = dir + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        Picture p;
        p.photo = ReadFile(path);
        p.thumbnail = Thumbnail(p.photo);
        if (p.thumbnail.empty()) { // not decodable: a stand-in thumbnail
            p.thumbnail = MakeJpeg(80, 60, static_cast<unsigned>(out.size() + 1));
        }
        struct stat st {};
        if (stat(path.c_str(), &st) == 0 && st.st_mtime >= 0 && st.st_mtime < 0xFFFFFFFF) {
            p.time = static_cast<std::uint32_t>(st.st_mtime);
        }
        out.push_back(std::move(p));
    }
    return true;
}

void ResizePhoto(Picture& picture, std::size_t size) {
    Bytes& b = picture.photo;
    if (size < b.size()) {
        b.resize(size);
        if (size >= 2) {
            b[size - 2] = 0xFF;
            b[size - 1] = 0xD9;
        }
    } else {
        b.resize(size, 0);
    }
}

} // namespace camsim
