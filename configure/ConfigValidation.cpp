#include "configure/ConfigValidation.h"

#include "host/MessageIds.h"
#include "transfer/NameTemplate.h"

namespace pixlor {

namespace {

constexpr int32_t kOtherRefusal = 1;

enum Kind : int32_t {
    kPhotoPrefixKind = 1,
    kThumbPrefixKind = 2,
    kPhotoPathKind = 3,
    kThumbPathKind = 4,
    kPhotoDigitsKind = 5,
    kThumbDigitsKind = 6,
    kPhotoPathSpacesKind = 7,
    kThumbPathSpacesKind = 8,
};

constexpr uint32_t kMinDigits = 2;

// Validates a template; on success `length` is the length of its expansion.
std::optional<ConfigRefusal> CheckTemplate(const char* text, int32_t kind, uint32_t& length) {
    const bool validateOnly = true;
    uint32_t position = 0;
    if (ExpandTemplate(validateOnly, position, text, nullptr, nullptr)) {
        length = position;
        return std::nullopt;
    }
    return ConfigRefusal{TemplateError, {kind, static_cast<int32_t>(position + 1)}};
}

// The prefix and the running number make the file name (".jpg" aside). The
// sum is taken wide so that no count wraps round into the range.
std::optional<ConfigRefusal> CheckDigits(uint32_t digits, uint32_t prefixLength, int32_t kind) {
    if (static_cast<uint64_t>(digits) + prefixLength > kMaxNameLength) {
        return ConfigRefusal{kOtherRefusal, {kind, MNameAndNumberTooLong}};
    }
    if (digits < kMinDigits) {
        return ConfigRefusal{kOtherRefusal, {kind, MDigitsAtLeastTwo}};
    }
    return std::nullopt;
}

// A folder name of spaces only cannot be created; an empty one means no folder.
std::optional<ConfigRefusal> CheckNotOnlySpaces(const char* text, int32_t kind) {
    if (text[0] == '\0') {
        return std::nullopt;
    }
    const char* c = text;
    while (*c == ' ') {
        ++c;
    }
    if (*c != '\0') {
        return std::nullopt;
    }
    return ConfigRefusal{kOtherRefusal, {kind, 0}};
}

} // namespace

std::optional<ConfigRefusal> ValidateConfig(const ConfigValues& values) {
    uint32_t length = 0;
    if (auto refusal = CheckTemplate(values.photoPrefix, kPhotoPrefixKind, length)) {
        return refusal;
    }
    if (auto refusal = CheckDigits(values.photoDigits, length, kPhotoDigitsKind)) {
        return refusal;
    }
    if (auto refusal = CheckTemplate(values.thumbPrefix, kThumbPrefixKind, length)) {
        return refusal;
    }
    if (auto refusal = CheckDigits(values.thumbDigits, length, kThumbDigitsKind)) {
        return refusal;
    }
    if (auto refusal = CheckTemplate(values.photoPath, kPhotoPathKind, length)) {
        return refusal;
    }
    if (auto refusal = CheckTemplate(values.thumbPath, kThumbPathKind, length)) {
        return refusal;
    }
    if (auto refusal = CheckNotOnlySpaces(values.photoPath, kPhotoPathSpacesKind)) {
        return refusal;
    }
    return CheckNotOnlySpaces(values.thumbPath, kThumbPathSpacesKind);
}

} // namespace pixlor
