#include "transfer/NameTemplate.h"

#include <cstring>

#include "camera/UtcDate.h"
#include "platform/Platform.h"

namespace pixlor {

int TemplateError = 0;

namespace {

// Characters no Windows file name may hold. The colon is among them: a name
// with one would write into a hidden stream of another file.
bool IsForbidden(char c) {
    return c != '\0' && std::strchr("\"*/:<>?\\|", c) != nullptr;
}

class Expansion {
public:
    Expansion(char* output, uint32_t& position) : output_(output), position_(position) {}

    // Stores the character; false once the name has grown past the limit.
    bool Produce(char c) {
        ++count_;
        if (output_ != nullptr) {
            output_[count_ - 1] = c;
        }
        return count_ <= kMaxNameLength;
    }

    // `value` as exactly `width` digits, the higher ones dropped.
    bool ProduceNumber(uint32_t value, unsigned width) {
        uint32_t power = 1;
        for (unsigned i = 1; i < width; ++i) {
            power *= 10;
        }
        value %= power * 10;
        for (unsigned i = 0; i < width; ++i) {
            if (!Produce(static_cast<char>('0' + value / power))) {
                return false;
            }
            value %= power;
            power /= 10;
        }
        return true;
    }

    bool Fail(int code, uint32_t at) {
        TemplateError = code;
        position_ = at;
        return false;
    }

    bool Finish() {
        if (output_ != nullptr) {
            output_[count_] = '\0';
        } else {
            position_ = count_;
        }
        return true;
    }

private:
    char* output_;
    uint32_t& position_;
    uint32_t count_ = 0;
};

struct FieldSource {
    bool validateOnly;
    uint32_t position;
    const PictureTable* table;
    UtcDate today;
};

// The value of a field letter; false when `letter` is none.
bool FieldValue(char letter, const FieldSource& source, uint32_t& value) {
    const bool pictureField = std::strchr("DMYHNS", letter) != nullptr;
    const bool known = letter != '\0' && (pictureField || std::strchr("#dmy", letter) != nullptr);
    if (!known) {
        return false;
    }
    if (source.validateOnly) {
        value = 1;
        return true;
    }
    static const PictureRecord kNoRecord{};
    const PictureRecord* record = nullptr;
    if (pictureField) {
        record = source.table != nullptr ? source.table->RecordAt(source.position) : nullptr;
        if (record == nullptr) {
            record = &kNoRecord;
        }
    }
    switch (letter) {
    case '#':
        value = source.position;
        break;
    case 'D':
        value = record->day;
        break;
    case 'M':
        value = record->month;
        break;
    case 'Y':
        value = record->year;
        break;
    case 'H':
        value = record->hour;
        break;
    case 'N':
        value = record->minute;
        break;
    case 'S':
        value = record->second;
        break;
    case 'd':
        value = source.today.day;
        break;
    case 'm':
        value = source.today.month;
        break;
    default: // 'y'
        value = source.today.year;
        break;
    }
    return true;
}

} // namespace

bool ExpandTemplate(bool validateOnly, uint32_t& position, const char* nameTemplate, char* output,
                    const PictureTable* table) {
    const FieldSource source{validateOnly, position, table,
                             BreakDownUtc(CurrentPlatform().clock->NowUnixSeconds())};
    const char* text = nameTemplate != nullptr ? nameTemplate : "";
    const auto length = static_cast<uint32_t>(std::strlen(text));
    Expansion expansion(output, position);

    uint32_t at = 0;
    while (at < length) {
        const char c = text[at];
        if (IsForbidden(c)) {
            return expansion.Fail(kTemplateForbidden, at);
        }
        if (c != '%') {
            if (!expansion.Produce(c)) {
                return expansion.Fail(kTemplateTooLong, at);
            }
            ++at;
            continue;
        }
        unsigned width = 2;
        bool widthSeen = false;
        for (;;) {
            ++at; // at most up to the terminator, which fails below
            const char next = text[at];
            uint32_t value = 0;
            if (next == '%') {
                if (!expansion.Produce('%')) {
                    return expansion.Fail(kTemplateTooLong, at);
                }
                break;
            }
            if (FieldValue(next, source, value)) {
                if (!expansion.ProduceNumber(value, width)) {
                    return expansion.Fail(kTemplateTooLong, at);
                }
                break;
            }
            if (next >= '1' && next <= '9') {
                if (widthSeen) {
                    return expansion.Fail(kTemplateSecondWidth, at);
                }
                width = static_cast<unsigned>(next - '0');
                widthSeen = true;
                continue;
            }
            return expansion.Fail(kTemplateBadPlaceholder, at);
        }
        ++at;
    }
    return expansion.Finish();
}

bool ExpandNameOrEmpty(uint32_t position, const char* nameTemplate, char* output,
                       const PictureTable* table) {
    const bool validateOnly = false;
    if (ExpandTemplate(validateOnly, position, nameTemplate, output, table)) {
        return true;
    }
    output[0] = '\0';
    return false;
}

NameBuffer ExpandedName(uint32_t position, const char* nameTemplate, const PictureTable* table) {
    NameBuffer name;
    ExpandNameOrEmpty(position, nameTemplate, name.data(), table);
    return name;
}

} // namespace pixlor
