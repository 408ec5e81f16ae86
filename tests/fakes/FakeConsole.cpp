#include "fakes/FakeConsole.h"

namespace pixlor {
namespace {

uint16_t VirtualKeyOf(char character) {
    if (character >= 'a' && character <= 'z') {
        return static_cast<uint16_t>(character - 'a' + 'A');
    }
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9')) {
        return static_cast<uint16_t>(character);
    }
    switch (character) {
    case 27:
        return FakeConsole::kVkEscape;
    case '\r':
    case '\n':
        return 0x0D;
    case ' ':
        return 0x20;
    case '\t':
        return 0x09;
    case '\b':
        return 0x08;
    default:
        return 0;
    }
}

} // namespace

void FakeConsole::QueueKey(char character, bool keyDown, uint16_t virtualKey) {
    ConsoleEvent event;
    event.isKey = true;
    event.keyDown = keyDown;
    event.virtualKey = virtualKey != 0 ? virtualKey : VirtualKeyOf(character);
    event.character = character;
    queue_.push_back(event);
}

void FakeConsole::QueueKeyPress(char character) {
    QueueKey(character, true);
    QueueKey(character, false);
}

void FakeConsole::QueueOther() {
    queue_.push_back(ConsoleEvent{});
}

void FakeConsole::FailPending(uint32_t k, bool persistent) {
    failFrom_ = pendingCalls_ + k;
    failPersistent_ = persistent;
}

void FakeConsole::TakeInTyped() {
    ++takeInCalls_;
    queue_.insert(queue_.end(), typed_.begin(), typed_.end());
    typed_.clear();
}

bool FakeConsole::PendingEvents(uint32_t& count) {
    ++pendingCalls_;
    if (failFrom_ != 0 &&
        (pendingCalls_ == failFrom_ || (failPersistent_ && pendingCalls_ > failFrom_))) {
        count = 0;
        return false;
    }
    count = static_cast<uint32_t>(queue_.size());
    return true;
}

bool FakeConsole::ReadEvent(ConsoleEvent& event, uint32_t& read) {
    ++readCalls_;
    read = 0;
    if (failReads_) {
        return false;
    }
    if (queue_.empty()) {
        ++readsWhileEmpty_;
        return true;
    }
    event = queue_.front();
    queue_.pop_front();
    read = 1;
    return true;
}

} // namespace pixlor
