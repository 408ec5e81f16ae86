// pixlor-camsim: the camera on a pseudo-terminal, for the demo and end-to-end tests.
#include "tools/camsim/Faults.h"
#include "tools/camsim/SamplePictures.h"
#include "tools/camsim/Simulator.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kUsage = R"(Usage: pixlor-camsim --link PATH [options]

Plays the camera on a pseudo-terminal. PATH becomes a symbolic link to the pty's
slave side; the slave path is printed on the first line of standard output once
the camera is ready. Serves, across any number of host open/close cycles, until
SIGTERM or SIGINT, then removes the link.

Options:
  --link PATH            symbolic link to create (an existing symlink is replaced)
  --samples N            N generated sample pictures (default 5)
  --pictures DIR         the .jpg files of DIR instead (time from the file's mtime)
  --picture-size BYTES   make every full picture exactly BYTES long (zero padding
                         after the JPEG data, or cut short and closed)
  --packet-size N        payload bytes per data packet (default 2048, 1 to 65535)
  --pace                 bytes leave at the camera's line speed (10 bits a byte)
  --strict-speed         bytes sent while the host's speed differs from the
                         camera's are lost, as on a real line
  --refuse-delete-last   answer 0x11 to "delete the last picture" (sub-code 0)
  --delete-time MS       time a deletion takes before the completion byte
  --trace FILE           every byte both ways, one exchange a line:
                         "SECONDS > HEX" host to camera, "SECONDS < HEX" camera
                         to host, "SECONDS * NOTE" speed changes, purges
  --state FILE           on exit and after each deletion: "count N" and one line
                         "picture N photo SIZE thumb SIZE time T crc HEX thumbcrc HEX"
                         per picture left (CRC-32 of the bytes, as zlib's)
  --fault TEXT           inject a fault (repeatable), see below
  --help                 this text

Fault TEXT:  KIND[:ARG][@COMMAND[#K]]
  nak[:N]          answer NAK instead of executing, N times (default 1)
  silent[:N]       no answer at all, N times
  refuse[:COMMAND] answer 0x11 instead of executing, once
  byte:0xHH        answer the byte HH instead, once (a data answer stays ready:
                   the host's NAK then gets the real packet)
  delay:MS         the next answer MS milliseconds late
  slow:MS          every answer MS milliseconds late
  checksum:K       corrupt the checksum of the K-th data packet sent
  checksum-always[:K]  corrupt the checksum of every data packet (from the K-th)
  cut:K            send only the first half of the K-th data packet
  vanish:K         close the line after the K-th data packet and exit
COMMAND: probe set select speed get count request info photo thumb delete ack
  (ack = the host's ACK asking for the next data packet). Without COMMAND the
  answer faults match any command packet or probe, and K counts every data
  packet (resends included); with it, only those answering that command.
  #K: the answer fault fires first at the K-th matching command.
Examples: --fault checksum:3@photo  --fault nak:3@speed  --fault refuse:delete
          --fault silent@get#2  --fault byte:0x42  --fault vanish:5@photo

Registers: 1 (reads 1), 4 (selected picture), 10 (picture count), 17 (line
speed index 0-5: 19200 9600 19200 38400 57600 115200; the camera's line follows
after its ACK). Requests: 0x2F information, 0x0E picture, 0x0F thumbnail.
Actions: 0,0 deletes the last picture, 7,0 the selected one. The completion
byte 0x05 goes out once the host has discarded its input after the ACK (or
200 ms after the ACK when no discard is seen). Register 4 keeps its value
across deletions.
)";

bool ParseSize(std::string_view text, std::size_t& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

int Usage(const std::string& problem) {
    std::fprintf(stderr, "pixlor-camsim: %s (see --help)\n", problem.c_str());
    return 2;
}

// setsid() fails for a process-group leader (a job started by an interactive shell).
// Then a child takes the session and this process only relays signals and its exit.
bool OwnSession(int& exitCode) {
    if (getsid(0) == getpid() || setsid() >= 0) {
        return true;
    }
    const pid_t child = fork();
    if (child < 0) {
        return true; // go on without a session of our own
    }
    if (child == 0) {
        setsid();
        return true;
    }
    sigset_t relay;
    sigemptyset(&relay);
    sigaddset(&relay, SIGTERM);
    sigaddset(&relay, SIGINT);
    sigaddset(&relay, SIGCHLD);
    sigprocmask(SIG_BLOCK, &relay, nullptr);
    for (;;) {
        int sig = 0;
        sigwait(&relay, &sig);
        if (sig == SIGCHLD) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
                return false;
            }
        } else {
            kill(child, sig);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    camsim::Options options;
    std::string link;
    std::string picturesDir;
    std::size_t samples = 5;
    std::size_t pictureSize = 0;
    bool havePictureSize = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--pace") {
            options.pace = true;
        } else if (arg == "--strict-speed") {
            options.strictSpeed = true;
        } else if (arg == "--refuse-delete-last") {
            options.camera.refuseDeleteLast = true;
        } else if (!value(v)) {
            return Usage(arg.starts_with("--") ? "missing value after " + std::string(arg)
                                               : "unknown argument " + std::string(arg));
        } else if (arg == "--link") {
            link = v;
        } else if (arg == "--samples") {
            if (!ParseSize(v, samples) || samples > 9999) {
                return Usage("bad --samples " + v);
            }
        } else if (arg == "--pictures") {
            picturesDir = v;
        } else if (arg == "--picture-size") {
            if (!ParseSize(v, pictureSize)) {
                return Usage("bad --picture-size " + v);
            }
            havePictureSize = true;
        } else if (arg == "--packet-size") {
            std::size_t n = 0;
            if (!ParseSize(v, n) || n == 0 || n > camsim::kMaxPacketSize) {
                return Usage("bad --packet-size " + v);
            }
            options.camera.packetSize = n;
        } else if (arg == "--delete-time") {
            std::size_t ms = 0;
            if (!ParseSize(v, ms) || ms > 600000) {
                return Usage("bad --delete-time " + v);
            }
            options.camera.deleteTime = std::chrono::milliseconds(ms);
        } else if (arg == "--trace") {
            options.traceFile = v;
        } else if (arg == "--state") {
            options.stateFile = v;
        } else if (arg == "--fault") {
            std::string error;
            auto fault = camsim::ParseFault(v, &error);
            if (!fault) {
                return Usage("bad --fault " + v + ": " + error);
            }
            options.faults.push_back(*fault);
        } else {
            return Usage("unknown option " + std::string(arg));
        }
    }
    if (link.empty()) {
        return Usage("--link PATH is required");
    }

    if (!picturesDir.empty()) {
        std::string error;
        if (!camsim::LoadPictures(picturesDir, options.pictures, error)) {
            std::fprintf(stderr, "pixlor-camsim: %s\n", error.c_str());
            return 1;
        }
    } else {
        options.pictures = camsim::SamplePictures(samples);
    }
    if (havePictureSize) {
        for (camsim::Picture& p : options.pictures) {
            camsim::ResizePhoto(p, pictureSize);
        }
    }

    int exitCode = 0;
    if (!OwnSession(exitCode)) {
        return exitCode;
    }
    options.controllingTerminal = getsid(0) == getpid();

    // Signals are taken by sigwait below; the serving thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    camsim::Simulator sim(options);
    if (!sim.Start(link)) {
        std::fprintf(stderr, "pixlor-camsim: %s\n", sim.Error().c_str());
        return 1;
    }
    std::printf("%s\n", sim.SlavePath().c_str());
    std::fflush(stdout);

    const timespec tick{0, 200'000'000};
    for (;;) {
        const int sig = sigtimedwait(&stopSignals, nullptr, &tick);
        if (sig == SIGTERM || sig == SIGINT) {
            break;
        }
        if (!sim.Running()) { // the camera vanished
            break;
        }
    }
    sim.Stop();
    return 0;
}
