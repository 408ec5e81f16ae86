#if !defined(_WIN32)
#include "tools/host/System.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>

namespace pixlor::host::sys {

namespace {
constexpr std::uint64_t kUnixEpochTicks = 116444736000000000u;
int keyMaster = -1;
} // namespace

void PrepareProcess() {}

void* OpenLibrary(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        error = why ? why : "dlopen failed";
    }
    return library;
}

void* LibrarySymbol(void* library, const char* name) {
    return dlsym(library, name);
}

std::string LibraryPath(void*, const std::string& fallback) {
    return FullPath(fallback);
}

bool PrepareKeyInjection(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = "no pseudo-terminal for the keyboard";
        return false;
    }
    const char* slaveName = ptsname(master);
    const int slave = slaveName ? open(slaveName, O_RDWR | O_NOCTTY) : -1;
    if (slave < 0 || dup2(slave, STDIN_FILENO) < 0) {
        error = "cannot make the pseudo-terminal the standard input";
        return false;
    }
    close(slave);
    keyMaster = master;
    return true;
}

bool EscNeedsInjection(EscWay) {
    return true;
}

bool InjectEsc(EscWay) {
    const char esc = 0x1B;
    return keyMaster >= 0 && write(keyMaster, &esc, 1) == 1;
}

void ReadQueuedKeys() {}

bool HoldShift(bool) {
    return false;
}

bool SetSerialPorts(const std::vector<int>&, std::string&) {
    return true;
}

bool SerialPortsSettable() {
    return false;
}

std::string FullPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    const std::string full(path, static_cast<std::size_t>(length));
    const auto slash = full.rfind('/');
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

char Separator() {
    return '/';
}

bool MakeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        return false;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat st {};
        if (stat((path + "/" + name).c_str(), &st) != 0) {
            continue;
        }
        FolderEntry e;
        e.name = name;
        e.folder = S_ISDIR(st.st_mode);
        e.size = e.folder ? 0 : static_cast<std::uint64_t>(st.st_size);
        e.writeTime = static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 10000000u +
                      static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100u + kUnixEpochTicks;
        entries.push_back(std::move(e));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(),
                                            b.name.end(), [](char x, char y) {
                                                return std::tolower(static_cast<unsigned char>(x)) <
                                                       std::tolower(static_cast<unsigned char>(y));
                                            });
    });
    return true;
}

} // namespace pixlor::host::sys
#endif
