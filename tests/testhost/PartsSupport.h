// What the tests of the test host's parts share: a transcript whose output
// can be read back, and a scratch folder that is removed afterwards.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/host/Transcript.h"

namespace pixlor::host::testing {

// A Transcript over a temporary file; Text() is everything printed so far.
class CapturedTranscript {
public:
    CapturedTranscript() : file_(std::tmpfile()), transcript(file_) {}
    ~CapturedTranscript() { std::fclose(file_); }
    CapturedTranscript(const CapturedTranscript&) = delete;
    CapturedTranscript& operator=(const CapturedTranscript&) = delete;

    std::string Text() const {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) {
            text.append(buffer, n);
        }
        std::fseek(file_, 0, SEEK_END);
        return text;
    }

private:
    std::FILE* file_;

public:
    Transcript transcript;
};

// A fresh folder below the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path() const { return path_.string(); }
    void Write(const std::string& relative, const std::string& content) const {
        const auto file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

private:
    std::filesystem::path path_;
};

} // namespace pixlor::host::testing
