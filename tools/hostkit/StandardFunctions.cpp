#include "tools/hostkit/StandardFunctions.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pixlor::hostkit {

namespace {

unsigned Lower(unsigned ch) {
    return static_cast<unsigned>(std::tolower(static_cast<int>(ch & 0xFF)));
}
unsigned Upper(unsigned ch) {
    return static_cast<unsigned>(std::toupper(static_cast<int>(ch & 0xFF)));
}

int CompareFolded(const char* s1, const char* s2, long limit) {
    for (long i = 0; limit < 0 || i < limit; ++i) {
        const unsigned a = Lower(static_cast<unsigned char>(s1[i]));
        const unsigned b = Lower(static_cast<unsigned char>(s2[i]));
        if (a != b) {
            return a < b ? -1 : 1;
        }
        if (a == 0) {
            break;
        }
    }
    return 0;
}

// Length of "X:\" or "\\server\share\" at the start of `path`, or 0.
std::size_t RootLength(const char* path) {
    const std::size_t length = std::strlen(path);
    if (length >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        (path[2] == '\\' || path[2] == '/')) {
        return 3;
    }
    if (length >= 2 && path[0] == '\\' && path[1] == '\\') {
        const char* server = std::strchr(path + 2, '\\');
        if (server != nullptr) {
            const char* share = std::strchr(server + 1, '\\');
            if (share != nullptr) {
                return static_cast<std::size_t>(share - path) + 1;
            }
        }
    }
    return 0;
}

// The remaining slots: they do nothing and report failure or emptiness.
int64_t PIXLOR_WINAPI StubAtoi64(const char* text) {
    return text ? std::atoll(text) : 0;
}
char* PIXLOR_WINAPI StubItoa(int value, char* buffer, int) {
    if (buffer)
        std::sprintf(buffer, "%d", value);
    return buffer;
}
char* PIXLOR_WINAPI StubItoa64(int64_t value, char* buffer, int) {
    if (buffer)
        std::sprintf(buffer, "%lld", static_cast<long long>(value));
    return buffer;
}
void PIXLOR_WINAPI StubQsort(void* base, std::size_t count, std::size_t width, FARSTDCMP cmp) {
    std::qsort(base, count, width, cmp);
}
void* PIXLOR_WINAPI StubBsearch(const void* key, const void* base, std::size_t count,
                                std::size_t width, FARSTDCMP cmp) {
    return std::bsearch(key, base, count, width, cmp);
}
void PIXLOR_WINAPI StubQsortex(void*, std::size_t, std::size_t, FARSTDCMPEX, void*) {}
int PIXLOR_WINAPI IsLower(unsigned ch) {
    return std::islower(static_cast<int>(ch & 0xFF)) != 0;
}
int PIXLOR_WINAPI IsUpper(unsigned ch) {
    return std::isupper(static_cast<int>(ch & 0xFF)) != 0;
}
int PIXLOR_WINAPI IsAlpha(unsigned ch) {
    return std::isalpha(static_cast<int>(ch & 0xFF)) != 0;
}
int PIXLOR_WINAPI IsAlphanum(unsigned ch) {
    return std::isalnum(static_cast<int>(ch & 0xFF)) != 0;
}
unsigned PIXLOR_WINAPI LocalUpper(unsigned ch) {
    return Upper(ch);
}
unsigned PIXLOR_WINAPI LocalLower(unsigned ch) {
    return Lower(ch);
}
void PIXLOR_WINAPI UpperBuf(char* buf, int length) {
    for (int i = 0; buf && i < length; ++i)
        buf[i] = static_cast<char>(Upper(static_cast<unsigned char>(buf[i])));
}
void PIXLOR_WINAPI LowerBuf(char* buf, int length) {
    for (int i = 0; buf && i < length; ++i)
        buf[i] = static_cast<char>(Lower(static_cast<unsigned char>(buf[i])));
}
void PIXLOR_WINAPI Strupr(char* s) {
    UpperBuf(s, s ? static_cast<int>(std::strlen(s)) : 0);
}
void PIXLOR_WINAPI Strlwr(char* s) {
    LowerBuf(s, s ? static_cast<int>(std::strlen(s)) : 0);
}
void PIXLOR_WINAPI Unquote(char* s) {
    if (!s)
        return;
    char* out = s;
    for (char* in = s; *in; ++in) {
        if (*in != '"')
            *out++ = *in;
    }
    *out = '\0';
}
FarDword PIXLOR_WINAPI ExpandEnvironment(const char* src, char* dst, std::size_t size) {
    if (!src || !dst || size == 0)
        return 0;
    std::snprintf(dst, size, "%s", src);
    return static_cast<FarDword>(std::strlen(dst));
}
char* PIXLOR_WINAPI Trim(char* s) {
    return s;
}
char* PIXLOR_WINAPI QuoteSpaceOnly(char* s) {
    return s;
}
char* PIXLOR_WINAPI PointToName(const char* path) {
    if (!path)
        return nullptr;
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    return const_cast<char*>(name);
}
void PIXLOR_WINAPI GetPathRoot(const char* path, char* root) {
    if (!path || !root)
        return;
    const std::size_t length = RootLength(path);
    std::memcpy(root, path, length);
    root[length] = '\0';
}
int PIXLOR_WINAPI CopyToClipboard(const char*) {
    return 0;
}
char* PIXLOR_WINAPI PasteFromClipboard() {
    return nullptr;
}
FarBool PIXLOR_WINAPI KeyToName(int, char* text, int size) {
    if (text && size > 0)
        text[0] = '\0';
    return 0;
}
int PIXLOR_WINAPI NameToKey(const char*) {
    return -1;
}
int PIXLOR_WINAPI InputRecordToKey(const void*) {
    return 0;
}
char* PIXLOR_WINAPI XLat(char* line, int, int, const void*, FarDword) {
    return line;
}
int PIXLOR_WINAPI GetFileOwner(const char*, const char*, char* owner) {
    if (owner)
        owner[0] = '\0';
    return 0;
}
int PIXLOR_WINAPI GetNumberOfLinks(const char*) {
    return 1;
}
void PIXLOR_WINAPI RecursiveSearch(const char*, const char*, FRSUSERFUNC, FarDword, void*) {}
char* PIXLOR_WINAPI MkTemp(char* dest, const char*) {
    if (dest)
        dest[0] = '\0';
    return nullptr;
}
void PIXLOR_WINAPI DeleteBuffer(char* buffer) {
    std::free(buffer);
}
int PIXLOR_WINAPI ProcessName(const char*, char*, FarDword) {
    return 0;
}
int PIXLOR_WINAPI MkLink(const char*, const char*, FarDword) {
    return 0;
}
int PIXLOR_WINAPI ConvertNameToReal(const char* src, char* dest, int size) {
    if (!src)
        return 0;
    const int length = static_cast<int>(std::strlen(src));
    if (dest && size > length)
        std::memcpy(dest, src, static_cast<std::size_t>(length) + 1);
    return length + 1;
}
int PIXLOR_WINAPI GetReparsePointInfo(const char*, char*, int) {
    return 0;
}

} // namespace

int PIXLOR_CDECL StdSprintf(char* buffer, const char* format, ...) {
    if (buffer == nullptr || format == nullptr) {
        return 0;
    }
    va_list args;
    va_start(args, format);
    const int written = std::vsprintf(buffer, format, args);
    va_end(args);
    return written;
}

int PIXLOR_CDECL StdSscanf(const char* buffer, const char* format, ...) {
    if (buffer == nullptr || format == nullptr) {
        return 0;
    }
    va_list args;
    va_start(args, format);
    const int fields = std::vsscanf(buffer, format, args);
    va_end(args);
    return fields;
}

int PIXLOR_WINAPI StdAtoi(const char* text) {
    return text != nullptr ? std::atoi(text) : 0;
}

int PIXLOR_WINAPI StdStricmp(const char* s1, const char* s2) {
    return CompareFolded(s1, s2, -1);
}

int PIXLOR_WINAPI StdStrnicmp(const char* s1, const char* s2, int n) {
    return n <= 0 ? 0 : CompareFolded(s1, s2, n);
}

char* PIXLOR_WINAPI StdTruncStr(char* text, int maxLength) {
    if (text == nullptr || maxLength < 0) {
        return text;
    }
    const std::size_t length = std::strlen(text);
    const auto limit = static_cast<std::size_t>(maxLength);
    if (length <= limit) {
        return text;
    }
    if (limit < 3) {
        text[limit] = '\0';
        return text;
    }
    const std::size_t tail = limit - 3;
    std::memmove(text + 3, text + length - tail, tail + 1);
    std::memcpy(text, "...", 3);
    return text;
}

char* PIXLOR_WINAPI StdTruncPathStr(char* path, int maxLength) {
    if (path == nullptr || maxLength < 0) {
        return path;
    }
    const std::size_t length = std::strlen(path);
    const auto limit = static_cast<std::size_t>(maxLength);
    if (length <= limit) {
        return path;
    }
    const std::size_t root = RootLength(path);
    if (root == 0 || root + 5 > limit) {
        return StdTruncStr(path, maxLength);
    }
    const std::size_t tail = limit - root - 3;
    std::memmove(path + root + 3, path + length - tail, tail + 1);
    std::memcpy(path + root, "...", 3);
    return path;
}

FarBool PIXLOR_WINAPI StdAddEndSlash(char* path) {
    if (path == nullptr) {
        return 0;
    }
    std::size_t forward = 0;
    std::size_t backward = 0;
    const std::size_t length = std::strlen(path);
    for (std::size_t i = 0; i < length; ++i) {
        forward += path[i] == '/';
        backward += path[i] == '\\';
    }
    if (length == 0 || (path[length - 1] != '\\' && path[length - 1] != '/')) {
        path[length] = forward > backward ? '/' : '\\';
        path[length + 1] = '\0';
    }
    return 1;
}

FarStandardFunctions MakeStandardFunctions() {
    FarStandardFunctions f{};
    f.StructSize = static_cast<int>(sizeof f);
    f.atoi = StdAtoi;
    f.atoi64 = StubAtoi64;
    f.itoa = StubItoa;
    f.itoa64 = StubItoa64;
    f.sprintf = StdSprintf;
    f.sscanf = StdSscanf;
    f.qsort = StubQsort;
    f.bsearch = StubBsearch;
    f.qsortex = StubQsortex;
    f.LIsLower = IsLower;
    f.LIsUpper = IsUpper;
    f.LIsAlpha = IsAlpha;
    f.LIsAlphanum = IsAlphanum;
    f.LUpper = LocalUpper;
    f.LLower = LocalLower;
    f.LUpperBuf = UpperBuf;
    f.LLowerBuf = LowerBuf;
    f.LStrupr = Strupr;
    f.LStrlwr = Strlwr;
    f.LStricmp = StdStricmp;
    f.LStrnicmp = StdStrnicmp;
    f.Unquote = Unquote;
    f.ExpandEnvironmentStr = ExpandEnvironment;
    f.LTrim = Trim;
    f.RTrim = Trim;
    f.Trim = Trim;
    f.TruncStr = StdTruncStr;
    f.TruncPathStr = StdTruncPathStr;
    f.QuoteSpaceOnly = QuoteSpaceOnly;
    f.PointToName = PointToName;
    f.GetPathRoot = GetPathRoot;
    f.AddEndSlash = StdAddEndSlash;
    f.CopyToClipboard = CopyToClipboard;
    f.PasteFromClipboard = PasteFromClipboard;
    f.FarKeyToName = KeyToName;
    f.FarNameToKey = NameToKey;
    f.FarInputRecordToKey = InputRecordToKey;
    f.XLat = XLat;
    f.GetFileOwner = GetFileOwner;
    f.GetNumberOfLinks = GetNumberOfLinks;
    f.FarRecursiveSearch = RecursiveSearch;
    f.MkTemp = MkTemp;
    f.DeleteBuffer = DeleteBuffer;
    f.ProcessName = ProcessName;
    f.MkLink = MkLink;
    f.ConvertNameToReal = ConvertNameToReal;
    f.GetReparsePointInfo = GetReparsePointInfo;
    return f;
}

} // namespace pixlor::hostkit
