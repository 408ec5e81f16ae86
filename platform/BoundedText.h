// Copying text into fixed character buffers: cut to fit and always
// terminated, never reading further than what fits.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace pixlor {

// Copies at most capacity - 1 characters of `text` into `buffer` and
// terminates it; returns the length copied. A capacity of 0 writes nothing.
inline std::size_t CopyBounded(char* buffer, std::size_t capacity, std::string_view text) {
    if (capacity == 0) {
        return 0;
    }
    const std::size_t length = text.size() < capacity ? text.size() : capacity - 1;
    if (length != 0) {
        std::memcpy(buffer, text.data(), length);
    }
    buffer[length] = '\0';
    return length;
}

// The same for a terminated text, which is read only as far as it fits (so it
// may also be a full field without a terminator); null copies as empty.
inline std::size_t CopyBounded(char* buffer, std::size_t capacity, const char* text) {
    const std::size_t length = text == nullptr || capacity == 0 ? 0 : strnlen(text, capacity - 1);
    return CopyBounded(buffer, capacity, std::string_view(text == nullptr ? "" : text, length));
}

template <std::size_t N> std::size_t CopyBounded(char (&buffer)[N], std::string_view text) {
    return CopyBounded(buffer, N, text);
}

template <std::size_t N> std::size_t CopyBounded(char (&buffer)[N], const char* text) {
    return CopyBounded(buffer, N, text);
}

} // namespace pixlor
