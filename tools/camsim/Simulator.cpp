#include "tools/camsim/Simulator.h"

#include "tools/camsim/PtyLink.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace camsim {
namespace {

using std::chrono::milliseconds;

struct Pending {
    Reply reply;
    Clock::time_point due;
};

} // namespace

std::string FormatTraceLine(const TraceLine& line, Clock::time_point start) {
    const double t = std::chrono::duration<double>(line.when - start).count();
    char head[48];
    std::snprintf(head, sizeof head, "%12.6f %c", t, line.direction);
    std::string text = head;
    if (!line.note.empty()) {
        text += ' ';
        text += line.note;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::uint8_t b : line.bytes) {
        text += ' ';
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

bool WriteStateFile(const std::string& path, const std::vector<PictureSummary>& pictures) {
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) {
        return false;
    }
    std::fprintf(f, "count %zu\n", pictures.size());
    for (const PictureSummary& p : pictures) {
        std::fprintf(f, "picture %u photo %u thumb %u time %u crc %08X thumbcrc %08X\n", p.number,
                     p.photoSize, p.thumbnailSize, p.time, p.photoCrc, p.thumbnailCrc);
    }
    const bool ok = std::fclose(f) == 0;
    return ok && std::rename(temp.c_str(), path.c_str()) == 0;
}

struct Simulator::Impl {
    explicit Impl(Options o) : options(std::move(o)), machine(options.camera, options.pictures) {
        for (const Fault& f : options.faults) {
            machine.AddFault(f);
        }
    }
    ~Impl() {
        if (wake >= 0) {
            close(wake);
        }
        if (traceFile) {
            std::fclose(traceFile);
        }
    }

    Options options;
    mutable std::mutex mutex; // guards everything below but the thread and `stop`
    mutable std::condition_variable changed;
    CameraSimulator machine;
    PtyLink link;
    std::vector<TraceLine> trace;
    std::size_t traced = 0; // units of the machine's log already in the trace
    Clock::time_point start = Clock::now();
    std::FILE* traceFile = nullptr;
    std::uint64_t stateDeletions = 0;
    bool running = false;
    bool dropQueue = false; // the serving thread empties its queue and clears this

    std::thread thread;
    std::atomic<bool> stop{false};
    int wake = -1;

    // Serving thread only.
    std::deque<Pending> queue;
    std::uint64_t purges = 0;
    std::uint64_t purgesAtLastWrite = 0;
    Clock::time_point lastWriteEnd{};
    std::uint32_t hostSpeed = 0;
    std::uint32_t cameraSpeed = 0;
    // Paced: when the host's bytes read so far have crossed the line (a pty hands
    // them over at once).
    Clock::time_point inboundFreeAt{};

    void AddTrace(TraceLine line) {
        if (traceFile) {
            std::fprintf(traceFile, "%s\n", FormatTraceLine(line, start).c_str());
            std::fflush(traceFile);
        }
        trace.push_back(std::move(line));
    }
    // One line per unit the host sent (a command arrives in pieces); stray bytes of one
    // reception share a line.
    void TraceReceived() {
        const auto& log = machine.Log();
        TraceLine strays;
        for (; traced < log.size(); ++traced) {
            const camsim::Received& rx = log[traced];
            if (rx.kind == Kind::Stray) {
                if (strays.bytes.empty()) {
                    strays = TraceLine{rx.when, '>', {}, {}};
                }
                strays.bytes.insert(strays.bytes.end(), rx.bytes.begin(), rx.bytes.end());
                continue;
            }
            if (!strays.bytes.empty()) {
                AddTrace(std::exchange(strays, TraceLine{}));
            }
            AddTrace(TraceLine{rx.when, '>', rx.bytes, {}});
        }
        if (!strays.bytes.empty()) {
            AddTrace(std::move(strays));
        }
    }
    void Note(std::string note) { AddTrace(TraceLine{Clock::now(), '*', {}, std::move(note)}); }
    void SaveState() {
        if (!options.stateFile.empty()) {
            WriteStateFile(options.stateFile, machine.Summaries());
        }
        stateDeletions = machine.Deletions();
    }
    // Call with the lock held. `camera`: the speed of the bytes about to go out.
    void CheckSpeeds(std::uint32_t camera) {
        const std::uint32_t host = link.HostSpeed();
        if (host != hostSpeed) {
            hostSpeed = host;
            Note("host line " + std::to_string(host));
        }
        if (camera != cameraSpeed) {
            cameraSpeed = camera;
            Note("camera line " + std::to_string(cameraSpeed));
        }
    }

    void Serve();
    bool SendDue(); // false once the camera has vanished
};

void Simulator::Impl::Serve() {
    // Replies are due to the microsecond; the default timer slack (50 us) would add
    // to every one of them.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::vector<Reply> replies;
    while (!stop) {
        const auto now = Clock::now();
        auto wakeAt = now + milliseconds(100);
        {
            std::lock_guard lock(mutex);
            if (auto d = machine.Deadline()) {
                wakeAt = std::min(wakeAt, *d);
            }
        }
        if (!queue.empty()) {
            const Pending& p = queue.front();
            wakeAt = std::min(
                wakeAt, p.reply.afterHostPurge ? lastWriteEnd + options.completionFallback : p.due);
            if (p.reply.afterHostPurge) {
                wakeAt = std::min(wakeAt, now + milliseconds(5));
            }
        }
        // To the nanosecond: a paced reply is often due well within a millisecond.
        const auto waitNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::max(wakeAt - now, Clock::duration{0}));
        const timespec timeout{static_cast<time_t>(waitNs.count() / 1'000'000'000),
                               static_cast<long>(waitNs.count() % 1'000'000'000)};
        pollfd fds[2] = {{link.MasterFd(), POLLIN, 0}, {wake, POLLIN, 0}};
        ppoll(fds, 2, &timeout, nullptr);
        if (stop) {
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint64_t woken = 0;
            [[maybe_unused]] ssize_t n = read(wake, &woken, sizeof woken);
        }

        Bytes data;
        bool purged = false;
        link.Read(data, purged);
        const auto arrived = Clock::now();
        replies.clear();
        {
            std::lock_guard lock(mutex);
            if (dropQueue) {
                queue.clear();
                dropQueue = false;
                changed.notify_all();
            }
            if (purged) {
                ++purges;
                Note("host purged its input");
            }
            CheckSpeeds(cameraSpeed);
            if (!data.empty()) {
                if (options.strictSpeed && hostSpeed != machine.LineSpeed()) {
                    AddTrace(TraceLine{arrived, '*', data, "lost at a speed mismatch:"});
                } else {
                    machine.SetHostSpeed(hostSpeed);
                    machine.Feed(data, arrived, replies);
                }
                changed.notify_all();
            } else {
                machine.Tick(arrived, replies);
            }
            TraceReceived();
            if (replies.empty() && queue.empty()) {
                CheckSpeeds(machine.LineSpeed());
            }
        }
        // A command is answered once its last byte has crossed the line.
        auto answerFrom = arrived;
        if (options.pace && !data.empty()) {
            inboundFreeAt = PaceDeadline(std::max(arrived, inboundFreeAt), data.size(), hostSpeed);
            answerFrom = inboundFreeAt;
        }
        for (Reply& r : replies) {
            const auto due = answerFrom + r.delay;
            queue.push_back(Pending{std::move(r), due});
        }
        if (!SendDue()) {
            break;
        }
        std::lock_guard lock(mutex);
        if (machine.Deletions() != stateDeletions) {
            SaveState();
        }
    }
}

bool Simulator::Impl::SendDue() {
    while (!queue.empty() && !stop) {
        Pending& p = queue.front();
        const auto now = Clock::now();
        if (p.reply.afterHostPurge) {
            // The host discards its input right after reading the ACK; a completion sent
            // before that discard could be lost with it.
            if (purges == purgesAtLastWrite && now < lastWriteEnd + options.completionFallback) {
                return true;
            }
            p.reply.afterHostPurge = false;
            p.due = now + p.reply.delay;
        }
        if (now < p.due) {
            return true;
        }
        Reply reply = std::move(p.reply);
        const auto due = p.due;
        queue.pop_front();
        {
            std::lock_guard lock(mutex);
            CheckSpeeds(reply.lineSpeed);
            AddTrace(TraceLine{Clock::now(), '<', reply.bytes, {}});
        }
        link.Write(reply.bytes, reply.lineSpeed, options.pace, stop, due);
        lastWriteEnd = Clock::now();
        purgesAtLastWrite = purges;
        if (reply.thenVanish) {
            link.WaitDrained(std::chrono::milliseconds(1000));
            std::lock_guard lock(mutex);
            Note("camera vanished");
            link.Close();
            running = false;
            SaveState();
            changed.notify_all();
            return false;
        }
    }
    return true;
}

Simulator::Simulator(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() {
    Stop();
}

bool Simulator::Start(const std::string& linkPath) {
    Impl& s = *impl_;
    if (s.thread.joinable()) {
        error_ = "already started";
        return false;
    }
    if (!s.options.traceFile.empty()) {
        s.traceFile = std::fopen(s.options.traceFile.c_str(), "w");
        if (!s.traceFile) {
            error_ = "cannot write the trace file " + s.options.traceFile;
            return false;
        }
    }
    s.wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (s.wake < 0) {
        error_ = "eventfd failed";
        return false;
    }
    if (!s.link.Open(linkPath, s.options.controllingTerminal, error_)) {
        return false;
    }
    slavePath_ = s.link.SlavePath();
    s.start = Clock::now();
    s.running = true;
    s.cameraSpeed = s.machine.LineSpeed();
    s.hostSpeed = s.link.HostSpeed();
    s.lastWriteEnd = s.start;
    s.thread = std::thread([&s] { s.Serve(); });
    return true;
}

void Simulator::Stop() {
    Impl& s = *impl_;
    if (!s.thread.joinable()) {
        return;
    }
    s.stop = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(s.wake, &one, sizeof one);
    s.thread.join();
    std::lock_guard lock(s.mutex);
    s.SaveState();
    s.link.Close();
    s.running = false;
    s.changed.notify_all();
}

bool Simulator::Running() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->running;
}

std::vector<PictureSummary> Simulator::Pictures() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->machine.Summaries();
}

std::vector<Picture> Simulator::PictureData() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->machine.Pictures();
}

std::uint32_t Simulator::HostSpeed() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->link.HostSpeed();
}

std::uint32_t Simulator::CameraSpeed() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->machine.LineSpeed();
}

std::uint32_t Simulator::Selected() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->machine.Selected();
}

bool Simulator::AddFault(std::string_view text) {
    auto fault = ParseFault(text);
    if (!fault) {
        return false;
    }
    AddFault(*fault);
    return true;
}

void Simulator::AddFault(const Fault& fault) {
    std::lock_guard lock(impl_->mutex);
    impl_->machine.AddFault(fault);
}

void Simulator::ClearFaults() {
    Impl& s = *impl_;
    std::unique_lock lock(s.mutex);
    s.machine.ClearFaults();
    if (!s.running || !s.thread.joinable()) {
        return;
    }
    s.dropQueue = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(s.wake, &one, sizeof one);
    s.changed.wait_for(lock, std::chrono::milliseconds(1000), [&s] { return !s.dropQueue; });
}

std::vector<camsim::Received> Simulator::Received() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->machine.Log();
}

std::vector<TraceLine> Simulator::Trace() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->trace;
}

std::vector<std::string> Simulator::TraceText() const {
    std::vector<std::string> out;
    for (const TraceLine& line : Trace()) {
        out.push_back(FormatTraceLine(line, impl_->start));
    }
    return out;
}

bool Simulator::WaitForHostSpeed(std::uint32_t speed, std::chrono::milliseconds timeout) const {
    const auto until = Clock::now() + timeout;
    while (HostSpeed() != speed) {
        if (Clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool Simulator::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout,
                                   [&] { return impl_->machine.Log().size() >= count; });
}

} // namespace camsim
