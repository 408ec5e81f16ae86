// The host's standard functions (FarStandardFunctions) as a test host provides
// them: the ones the plugin relies on behave as the host defines them, the
// rest are harmless stubs.
#pragma once

#include "host/FarApi.h"

namespace pixlor::hostkit {

// A complete table: StructSize set, every slot filled.
FarStandardFunctions MakeStandardFunctions();

// The individual functions, for direct tests.
int PIXLOR_CDECL StdSprintf(char* buffer, const char* format, ...);
int PIXLOR_CDECL StdSscanf(const char* buffer, const char* format, ...);
int PIXLOR_WINAPI StdAtoi(const char* text);
int PIXLOR_WINAPI StdStricmp(const char* s1, const char* s2);
int PIXLOR_WINAPI StdStrnicmp(const char* s1, const char* s2, int n);
char* PIXLOR_WINAPI StdTruncStr(char* text, int maxLength);
char* PIXLOR_WINAPI StdTruncPathStr(char* path, int maxLength);
FarBool PIXLOR_WINAPI StdAddEndSlash(char* path);

} // namespace pixlor::hostkit
