// What the test host needs from the operating system, kept apart so that the
// host's own code never sees <windows.h> (it clashes with plugin/FarApi.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/host/Command.h"

namespace pixlor::host::sys {

// Process set-up at start: on Windows the file APIs switch to the OEM code page,
// as the real host does.
void PrepareProcess();

// The plugin library.
void* OpenLibrary(const std::string& path, std::string& error);
void* LibrarySymbol(void* library, const char* name);
std::string LibraryPath(void* library, const std::string& fallback);

// Esc for the plugin's console poll. Prepare once before the plugin loads:
// on Windows a fresh hidden console whose input queue the host writes to; on
// POSIX a pseudo-terminal becomes standard input and the host types into it.
bool PrepareKeyInjection(std::string& error);
// Windows: the records carry VK_ESCAPE and character 27, as Windows makes them,
// or character 0 (EscWay::VirtualKey), as Wine's console on a terminal does;
// for EscWay::Terminal the host asks the one who holds its terminal (a "note:"
// line) and gives them time to type. A POSIX terminal has one Esc, the byte
// 27, which the host types itself in every way.
bool InjectEsc(EscWay way);
// Whether the way needs the injection prepared (Windows: not on the terminal).
bool EscNeedsInjection(EscWay way);
// A box that waits for the user reads the keys queued before it, as the file
// manager's own box does (it acts on presses only, so a queued release of Esc
// goes with it). POSIX: nothing to do, a terminal queues no releases.
void ReadQueuedKeys();

// Holding Shift for GetAsyncKeyState (SendInput on Windows). False when the
// system cannot do it (POSIX: a terminal has no key state).
bool HoldShift(bool down);

// Which of COM1..COM8 the system lists (Windows: the volatile SERIALCOMM key,
// and the others' device links removed so they fail to open). False with an
// error when that cannot be done; POSIX leaves it to PIXLOR_DEVICES.
bool SetSerialPorts(const std::vector<int>& ports, std::string& error);
bool SerialPortsSettable();

struct FolderEntry {
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0; // FILETIME ticks, UTC
};

std::string FullPath(const std::string& path);
// The folder of the running program, without a trailing separator.
std::string ExecutableFolder();
char Separator();
bool MakeFolders(const std::string& path);
// The entries of a folder without "." and "..", sorted case-insensitively.
bool ListFolder(const std::string& path, std::vector<FolderEntry>& entries);

} // namespace pixlor::host::sys
