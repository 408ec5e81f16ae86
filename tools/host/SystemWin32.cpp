#if defined(_WIN32)
#include <windows.h>

#include "tools/host/System.h"

#include <cstdio>
#include <filesystem>

namespace pixlor::host::sys {
namespace {

// Time for the one at the terminal to type the Esc the host asked for.
constexpr DWORD kTypingTimeMs = 1500;

} // namespace

void PrepareProcess() {
    SetFileApisToOEM();
}

void* OpenLibrary(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = "LoadLibraryA failed with error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(module);
}

void* LibrarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::string LibraryPath(void* library, const std::string& fallback) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(library), path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : FullPath(fallback);
}

bool PrepareKeyInjection(std::string& error) {
    // Without a console (stdin a pipe) only a fresh one accepts injected input;
    // the C runtime's stdout stays where it was.
    FreeConsole();
    if (!AllocConsole()) {
        error = "AllocConsole failed with error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

// One press of Esc as a user makes it: the key-down record and the key-up
// record behind it. The plugin counts the press once; the release of a press
// it counted skips nothing more.
bool EscNeedsInjection(EscWay way) {
    return way != EscWay::Terminal;
}

bool InjectEsc(EscWay way) {
    if (way == EscWay::Terminal) {
        // Wine's console reads its terminal only while a program waits on its
        // input: the host only sleeps, so the Esc stays there for the plugin.
        std::fputs("note: type Esc on the terminal\n", stdout);
        std::fflush(stdout);
        Sleep(kTypingTimeMs);
        return true;
    }
    INPUT_RECORD records[2] = {};
    for (int i = 0; i < 2; ++i) {
        records[i].EventType = KEY_EVENT;
        records[i].Event.KeyEvent.bKeyDown = i == 0 ? TRUE : FALSE;
        records[i].Event.KeyEvent.wRepeatCount = 1;
        records[i].Event.KeyEvent.wVirtualKeyCode = VK_ESCAPE;
        records[i].Event.KeyEvent.uChar.AsciiChar = way == EscWay::VirtualKey ? 0 : 27;
    }
    DWORD written = 0;
    return WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), records, 2, &written) && written == 2;
}

void ReadQueuedKeys() {
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
}

bool HoldShift(bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return SendInput(1, &input, sizeof input) == 1;
}

bool SetSerialPorts(const std::vector<int>& ports, std::string& error) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                        REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        error = "cannot open HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
        return false;
    }
    // Drop every listed port, then list the wanted ones.
    for (;;) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            RegDeleteValueA(key, name) != ERROR_SUCCESS) {
            break;
        }
    }
    bool ok = true;
    for (int n : ports) {
        const std::string name = "\\Device\\Serial" + std::to_string(n - 1);
        const std::string data = "COM" + std::to_string(n);
        ok = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS &&
             ok;
    }
    RegCloseKey(key);
    // A port that is not listed must not open either.
    for (int n = 1; n <= 8; ++n) {
        bool listed = false;
        for (int p : ports) {
            listed = listed || p == n;
        }
        if (!listed) {
            const std::string device = "COM" + std::to_string(n);
            DefineDosDeviceA(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
        }
    }
    if (!ok) {
        error = "cannot write SERIALCOMM";
    }
    return ok;
}

bool SerialPortsSettable() {
    return true;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length < MAX_PATH ? length : 0);
    const auto slash = full.find_last_of("\\/");
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

char Separator() {
    return '\\';
}

bool MakeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAA data;
    const std::string mask = path + "\\*.*";
    HANDLE find = FindFirstFileA(mask.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        FolderEntry e;
        e.name = name;
        e.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.size = e.folder ? 0 : (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        e.writeTime = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
        entries.push_back(std::move(e));
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true; // the system lists them sorted case-insensitively already
}

} // namespace pixlor::host::sys
#endif
