// The name template language of folder names and file-name prefixes: plain
// text with placeholders "%" [width 1-9] letter, where the letter is one of
// # D M Y H N S (the picture's position, day, month, year, hour, minute,
// second) or d m y (today's UTC date), and "%%" is a literal '%'. Each number
// prints as exactly `width` digits (default 2): the value modulo 10^width,
// zero-filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "camera/PictureTable.h"
#include "platform/BoundedText.h"

namespace pixlor {

// A name holds at most 256 characters; its buffer has room for the terminator.
inline constexpr uint32_t kMaxNameLength = 256;
inline constexpr size_t kNameBufferSize = kMaxNameLength + 1;

// A name in a buffer of kNameBufferSize bytes, always terminated.
class NameBuffer {
public:
    NameBuffer() { text_[0] = '\0'; }

    // Takes `name`, cut to kMaxNameLength characters.
    void Assign(std::string_view name) { CopyBounded(text_, name); }
    const char* c_str() const { return text_; }
    bool empty() const { return text_[0] == '\0'; }
    // For the functions that fill kNameBufferSize bytes themselves.
    char* data() { return text_; }

private:
    char text_[kNameBufferSize];
};

// Failure codes; the configuration dialog reports them by number.
inline constexpr int kTemplateBadPlaceholder = 2; // not a width, '%' or field letter
inline constexpr int kTemplateSecondWidth = 3;    // a second width digit
inline constexpr int kTemplateForbidden = 4;      // one of " * / : < > ? \ |
inline constexpr int kTemplateTooLong = 12;       // more than 256 characters

// The code of the last failed expansion; a success leaves it as it was.
extern int TemplateError;

// Expands, measures or validates `nameTemplate`.
// - validateOnly: every field has the value 1 and `table` is not read (it may be null).
// - position: in, the picture's position in `table` (the value of '#'). On failure,
//   the failing position in the template. On success without `output`, the length of
//   the name; with `output`, unchanged.
// - output: at least kNameBufferSize bytes, or null to measure. On success it holds the
//   terminated name; on failure the characters produced so far, unterminated.
// A missing record counts as a record of zeros. The clock is read once per call.
bool ExpandTemplate(bool validateOnly, uint32_t& position, const char* nameTemplate, char* output,
                    const PictureTable* table);

// The name of the picture at `position`, or an empty name when the template fails
// (for templates stored outside the configuration dialog). `output` always ends
// terminated; it holds at least kNameBufferSize bytes.
bool ExpandNameOrEmpty(uint32_t position, const char* nameTemplate, char* output,
                       const PictureTable* table);
// The same name in a buffer of its own.
NameBuffer ExpandedName(uint32_t position, const char* nameTemplate, const PictureTable* table);

} // namespace pixlor
