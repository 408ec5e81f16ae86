// The REGEDIT4 reader of the POSIX registry on arbitrary text. What it reads
// must survive the writer: parse, write, parse again gives the same keys and
// values, and writing that again gives the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/RegFile.h"

#include "FuzzCheck.h"

namespace {

using namespace pixlor::regfile;

void CheckSame(const Document& a, const Document& b) {
    FUZZ_CHECK(a.keys.size() == b.keys.size());
    for (size_t k = 0; k < a.keys.size(); ++k) {
        const Key& x = a.keys[k];
        const Key& y = b.keys[k];
        FUZZ_CHECK(x.path == y.path);
        FUZZ_CHECK(x.values.size() == y.values.size());
        for (size_t v = 0; v < x.values.size(); ++v) {
            FUZZ_CHECK(x.values[v].name == y.values[v].name);
            FUZZ_CHECK(x.values[v].type == y.values[v].type);
            FUZZ_CHECK(x.values[v].data == y.values[v].data);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Document first = Parse(text);
    if (!first.recognised) {
        FUZZ_CHECK(first.keys.empty());
        return 0;
    }
    for (const Key& key : first.keys) {
        FUZZ_CHECK(!key.path.empty());
        FUZZ_CHECK(KeyExists(first.keys, key.path));
    }
    const std::string written = Format(first.keys);
    const Document second = Parse(written);
    FUZZ_CHECK(second.recognised);
    CheckSame(first, second);
    FUZZ_CHECK(Format(second.keys) == written);
    return 0;
}
