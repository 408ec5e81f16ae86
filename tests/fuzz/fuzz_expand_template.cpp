// ExpandTemplate in its three uses (validate, measure, expand) on arbitrary
// templates. Input: a 4-byte position, a 4-byte clock, a record count (0 to 3)
// and 14 bytes per record, then the template (cut at its first NUL, as a C
// string is). The routine is compared with a plain model of the language, and
// the output buffer is a heap block of exactly 257 bytes so that one byte more
// is an overflow that the address sanitizer reports.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "camera/UtcDate.h"
#include "fakes/FakeClock.h"
#include "platform/Platform.h"
#include "transfer/NameTemplate.h"

#include "FuzzCheck.h"

namespace {

using namespace pixlor;

constexpr size_t kRecordBytes = 14;

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint32_t Take(size_t n) {
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i, ++at) {
            v |= uint32_t{at < size ? data[at] : uint8_t{0}} << (8 * i);
        }
        return v;
    }
};

struct Outcome {
    bool ok = false;
    int code = 0;
    uint32_t position = 0; // failing position, or the length
    std::string name;
};

bool Forbidden(char c) {
    return std::strchr("\"*/:<>?\\|", c) != nullptr;
}

// The language, written out once more in the plainest form.
Outcome Model(const std::string& text, bool validateOnly, uint32_t position,
              const PictureTable& table, const UtcDate& today) {
    Outcome out;
    auto fail = [&](int code, size_t at) {
        out.code = code;
        out.position = static_cast<uint32_t>(at);
        return out;
    };
    const PictureRecord none{};
    const PictureRecord* found = table.RecordAt(position);
    const PictureRecord& r = found != nullptr ? *found : none;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (Forbidden(c)) {
            return fail(4, i);
        }
        if (c != '%') {
            out.name += c;
            if (out.name.size() > 256) {
                return fail(12, i);
            }
            continue;
        }
        unsigned width = 2;
        bool widthSeen = false;
        for (;;) {
            ++i;
            const char next = i < text.size() ? text[i] : '\0';
            if (next >= '1' && next <= '9') {
                if (widthSeen) {
                    return fail(3, i);
                }
                width = static_cast<unsigned>(next - '0');
                widthSeen = true;
                continue;
            }
            if (next == '%') {
                out.name += '%';
                if (out.name.size() > 256) {
                    return fail(12, i);
                }
                break;
            }
            uint64_t value = 0;
            switch (next) {
            case '#':
                value = position;
                break;
            case 'D':
                value = r.day;
                break;
            case 'M':
                value = r.month;
                break;
            case 'Y':
                value = r.year;
                break;
            case 'H':
                value = r.hour;
                break;
            case 'N':
                value = r.minute;
                break;
            case 'S':
                value = r.second;
                break;
            case 'd':
                value = today.day;
                break;
            case 'm':
                value = today.month;
                break;
            case 'y':
                value = today.year;
                break;
            default:
                return fail(2, i);
            }
            if (validateOnly) {
                value = 1;
            }
            std::string digits(width, '0');
            for (unsigned k = width; k > 0; --k) {
                digits[k - 1] = static_cast<char>('0' + value % 10);
                value /= 10;
            }
            for (const char d : digits) {
                out.name += d;
                if (out.name.size() > 256) {
                    return fail(12, i);
                }
            }
            break;
        }
    }
    out.ok = true;
    out.position = static_cast<uint32_t>(out.name.size());
    return out;
}

// One call of the routine; `output` is a fresh block of exactly 257 bytes.
Outcome Run(bool validateOnly, bool withOutput, uint32_t position, const char* text,
            const PictureTable* table) {
    Outcome out;
    char* output = withOutput ? static_cast<char*>(std::malloc(kNameBufferSize)) : nullptr;
    if (output != nullptr) {
        std::memset(output, 0x5A, kNameBufferSize);
    }
    constexpr int kUntouched = -7;
    TemplateError = kUntouched;
    uint32_t pos = position;
    out.ok = ExpandTemplate(validateOnly, pos, text, output, table);
    if (out.ok) {
        FUZZ_CHECK(TemplateError == kUntouched); // a success leaves the code alone
        if (output != nullptr) {
            FUZZ_CHECK(pos == position);
            const void* end = std::memchr(output, '\0', kNameBufferSize);
            FUZZ_CHECK(end != nullptr);
            out.name.assign(output);
            out.position = static_cast<uint32_t>(out.name.size());
        } else {
            out.position = pos;
        }
        FUZZ_CHECK(out.position <= kMaxNameLength);
    } else {
        out.code = TemplateError;
        out.position = pos;
        FUZZ_CHECK(out.code == 2 || out.code == 3 || out.code == 4 || out.code == 12);
        const size_t length = std::strlen(text);
        FUZZ_CHECK(out.position < length || (out.code == 2 && out.position == length));
    }
    std::free(output);
    return out;
}

void Same(const Outcome& a, const Outcome& b, bool names) {
    FUZZ_CHECK(a.ok == b.ok);
    FUZZ_CHECK(a.position == b.position);
    if (a.ok) {
        FUZZ_CHECK(!names || a.name == b.name);
    } else {
        FUZZ_CHECK(a.code == b.code);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    const uint32_t position = in.Take(4);
    const uint32_t now = in.Take(4);
    const uint32_t records = in.Take(1) % 4;
    PictureTable table;
    table.Build(records);
    for (uint32_t i = 0; i < records; ++i) {
        PictureRecord& r = *table.RecordAt(i);
        r.infoLoaded = true;
        r.photoSize = in.Take(4);
        r.day = static_cast<uint8_t>(in.Take(1));
        r.month = static_cast<uint8_t>(in.Take(1));
        r.year = in.Take(4);
        r.hour = static_cast<uint8_t>(in.Take(1));
        r.minute = static_cast<uint8_t>(in.Take(1));
        r.second = static_cast<uint8_t>(in.Take(1));
        in.Take(kRecordBytes - 13);
    }
    const size_t start = std::min(in.at, size);
    const std::string text(reinterpret_cast<const char*>(data + start),
                           strnlen(reinterpret_cast<const char*>(data + start), size - start));

    FakeClock clock(now);
    ScopedPlatform scope(Platform{.clock = &clock});
    const UtcDate today = BreakDownUtc(now);

    const Outcome validated = Run(true, false, position, text.c_str(), nullptr);
    const Outcome validatedName = Run(true, true, position, text.c_str(), nullptr);
    const Outcome measured = Run(false, false, position, text.c_str(), &table);
    const Outcome expanded = Run(false, true, position, text.c_str(), &table);

    // Digits come from the width alone, so validation measures what expansion makes.
    Same(validated, measured, false);
    Same(validated, validatedName, false);
    Same(measured, expanded, false);
    Same(Model(text, true, position, table, today), validatedName, true);
    Same(Model(text, false, position, table, today), expanded, true);
    if (expanded.ok) {
        for (const char c : expanded.name) {
            FUZZ_CHECK(!Forbidden(c));
        }
    }

    // The transfers' form always hands out a terminated name.
    char* output = static_cast<char*>(std::malloc(kNameBufferSize));
    const bool named = ExpandNameOrEmpty(position, text.c_str(), output, &table);
    FUZZ_CHECK(named == expanded.ok);
    FUZZ_CHECK(std::memchr(output, '\0', kNameBufferSize) != nullptr);
    FUZZ_CHECK(named ? expanded.name == output : output[0] == '\0');
    std::free(output);
    return 0;
}
