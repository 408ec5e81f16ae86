#include "tools/camsim/Faults.h"

#include <array>
#include <charconv>
#include <utility>

namespace camsim {
namespace {

constexpr std::array<std::pair<std::string_view, FaultKind>, 10> kKinds{{
    {"nak", FaultKind::Nak},
    {"silent", FaultKind::Silent},
    {"refuse", FaultKind::Refuse},
    {"byte", FaultKind::Byte},
    {"delay", FaultKind::Delay},
    {"slow", FaultKind::Slow},
    {"checksum", FaultKind::Checksum},
    {"checksum-always", FaultKind::ChecksumAlways},
    {"cut", FaultKind::Cut},
    {"vanish", FaultKind::Vanish},
}};

constexpr std::array<std::pair<std::string_view, Target>, 14> kTargets{{
    {"any", Target::Any},
    {"probe", Target::Probe},
    {"set", Target::Set},
    {"select", Target::Select},
    {"speed", Target::Speed},
    {"get", Target::Get},
    {"count", Target::Count},
    {"request", Target::Request},
    {"info", Target::Info},
    {"photo", Target::Photo},
    {"thumb", Target::Thumb},
    {"delete", Target::Delete},
    {"action", Target::Delete},
    {"ack", Target::Ack},
}};

bool Fail(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
    return false;
}

// Decimal, or hexadecimal with 0x.
bool ParseNumber(std::string_view text, std::uint32_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) {
        return false;
    }
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool ParseTarget(std::string_view text, Fault& fault, std::string* error) {
    std::string_view name = text;
    if (auto hash = text.find('#'); hash != std::string_view::npos) {
        name = text.substr(0, hash);
        if (!ParseNumber(text.substr(hash + 1), fault.nth) || fault.nth == 0) {
            return Fail(error, "bad command number in '" + std::string(text) + "'");
        }
    }
    for (const auto& [key, target] : kTargets) {
        if (key == name) {
            fault.target = target;
            return true;
        }
    }
    return Fail(error, "unknown command '" + std::string(name) + "'");
}

} // namespace

bool IsAnswerFault(FaultKind kind) {
    switch (kind) {
    case FaultKind::Nak:
    case FaultKind::Silent:
    case FaultKind::Refuse:
    case FaultKind::Byte:
    case FaultKind::Delay:
        return true;
    default:
        return false;
    }
}

std::optional<Fault> ParseFault(std::string_view text, std::string* error) {
    Fault fault;
    std::string_view head = text;
    std::string_view target;
    bool hasTarget = false;
    if (auto at = text.find('@'); at != std::string_view::npos) {
        head = text.substr(0, at);
        target = text.substr(at + 1);
        hasTarget = true;
    }
    std::string_view name = head;
    std::string_view arg;
    bool hasArg = false;
    if (auto colon = head.find(':'); colon != std::string_view::npos) {
        name = head.substr(0, colon);
        arg = head.substr(colon + 1);
        hasArg = true;
    }
    bool known = false;
    for (const auto& [key, kind] : kKinds) {
        if (key == name) {
            fault.kind = kind;
            known = true;
        }
    }
    if (!known) {
        Fail(error, "unknown fault '" + std::string(name) + "'");
        return std::nullopt;
    }
    if (hasArg && arg.empty()) {
        Fail(error, "missing value after ':' in '" + std::string(text) + "'");
        return std::nullopt;
    }

    std::uint32_t value = 0;
    bool numberOk = !hasArg || ParseNumber(arg, value);
    switch (fault.kind) {
    case FaultKind::Nak:
    case FaultKind::Silent:
        if (!numberOk || (hasArg && value == 0)) {
            Fail(error, "'" + std::string(name) + "' takes a count of 1 or more");
            return std::nullopt;
        }
        fault.count = hasArg ? value : 1;
        break;
    case FaultKind::Refuse:
        if (hasArg) {
            if (hasTarget) {
                Fail(error, "refuse takes its command either after ':' or after '@'");
                return std::nullopt;
            }
            if (!ParseTarget(arg, fault, error)) {
                return std::nullopt;
            }
        }
        break;
    case FaultKind::Byte:
        if (!hasArg || !numberOk || value > 0xFF) {
            Fail(error, "byte takes a value from 0 to 0xFF");
            return std::nullopt;
        }
        fault.byte = static_cast<std::uint8_t>(value);
        break;
    case FaultKind::Delay:
    case FaultKind::Slow:
        if (!hasArg || !numberOk) {
            Fail(error, "'" + std::string(name) + "' takes milliseconds");
            return std::nullopt;
        }
        fault.ms = value;
        break;
    case FaultKind::Checksum:
    case FaultKind::Cut:
    case FaultKind::Vanish:
    case FaultKind::ChecksumAlways:
        if ((fault.kind != FaultKind::ChecksumAlways && !hasArg) || !numberOk ||
            (hasArg && value == 0)) {
            Fail(error, "'" + std::string(name) + "' takes a packet number of 1 or more");
            return std::nullopt;
        }
        fault.count = hasArg ? value : 1;
        break;
    }
    if (hasTarget) {
        if (fault.kind == FaultKind::Slow) {
            Fail(error, "slow applies to every answer and takes no command");
            return std::nullopt;
        }
        if (!ParseTarget(target, fault, error)) {
            return std::nullopt;
        }
        if (!IsAnswerFault(fault.kind) && fault.nth != 1) {
            Fail(error, "packet faults count packets, not commands: no '#'");
            return std::nullopt;
        }
    }
    return fault;
}

std::string FormatFault(const Fault& fault) {
    std::string text;
    for (const auto& [key, kind] : kKinds) {
        if (kind == fault.kind) {
            text = key;
        }
    }
    switch (fault.kind) {
    case FaultKind::Nak:
    case FaultKind::Silent:
    case FaultKind::Checksum:
    case FaultKind::Cut:
    case FaultKind::Vanish:
        text += ':' + std::to_string(fault.count);
        break;
    case FaultKind::Byte: {
        static constexpr char kHex[] = "0123456789ABCDEF";
        text += ":0x";
        text += kHex[fault.byte >> 4];
        text += kHex[fault.byte & 15];
        break;
    }
    case FaultKind::Delay:
    case FaultKind::Slow:
        text += ':' + std::to_string(fault.ms);
        break;
    case FaultKind::ChecksumAlways:
        if (fault.count != 1) {
            text += ':' + std::to_string(fault.count);
        }
        break;
    default:
        break;
    }
    if (fault.target != Target::Any || fault.nth != 1) {
        for (const auto& [key, target] : kTargets) {
            if (target == fault.target) {
                text += '@';
                text += key;
                break;
            }
        }
        if (fault.nth != 1) {
            text += '#' + std::to_string(fault.nth);
        }
    }
    return text;
}

} // namespace camsim
