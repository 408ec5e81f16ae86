#include "platform/Platform.h"

namespace pixlor {
namespace {

Platform& Installed() {
    static Platform installed = SystemPlatform();
    return installed;
}

template <typename T> void Overlay(T*& target, T* replacement) {
    if (replacement != nullptr) {
        target = replacement;
    }
}

} // namespace

const Platform& CurrentPlatform() {
    return Installed();
}

ScopedPlatform::ScopedPlatform(const Platform& replacement) : previous_(Installed()) {
    Platform& now = Installed();
    Overlay(now.serial, replacement.serial);
    Overlay(now.sleeper, replacement.sleeper);
    Overlay(now.clock, replacement.clock);
    Overlay(now.files, replacement.files);
    Overlay(now.registry, replacement.registry);
    Overlay(now.console, replacement.console);
    Overlay(now.keyboard, replacement.keyboard);
}

ScopedPlatform::~ScopedPlatform() {
    Installed() = previous_;
}

} // namespace pixlor
