// pixlor-host: plays the file manager for the Pixlor plugin, driven by a script.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/host/Script.h"
#include "tools/host/System.h"
#include "tools/host/TestHost.h"

namespace {

constexpr const char* kUsage =
    "Usage: pixlor-host [--plugin PATH] [--serialcomm COM2,COM5|none] SCRIPT|-\n"
    "Loads the plugin (default: Pixlor beside this program), runs the script and\n"
    "exits 0 when every command and expectation succeeded, 1 otherwise, 2 for a\n"
    "bad script or usage. --serialcomm sets which ports the system lists (Windows).\n";

#if defined(_WIN32)
constexpr const char* kPluginFile = "Pixlor.dll";
#else
constexpr const char* kPluginFile = "Pixlor.so";
#endif

bool ParsePorts(const std::string& text, std::vector<int>& ports) {
    ports.clear();
    if (text == "none") {
        return true;
    }
    std::stringstream list(text);
    std::string one;
    while (std::getline(list, one, ',')) {
        if (one.size() != 4 || (one.compare(0, 3, "COM") != 0 && one.compare(0, 3, "com") != 0) ||
            one[3] < '1' || one[3] > '8') {
            return false;
        }
        ports.push_back(one[3] - '0');
    }
    return !ports.empty();
}

} // namespace

int main(int argc, char** argv) {
    pixlor::host::HostOptions options;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if ((arg == "--plugin" || arg == "--serialcomm") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (arg == "--plugin") {
                options.pluginPath = value;
            } else if (!ParsePorts(value, options.serialPorts)) {
                std::fprintf(stderr, "pixlor-host: bad --serialcomm %s\n", value.c_str());
                return 2;
            } else {
                options.setSerialPorts = true;
            }
        } else if (scriptPath.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            scriptPath = arg;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (scriptPath.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string text;
    if (scriptPath == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(scriptPath, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "pixlor-host: cannot read %s\n", scriptPath.c_str());
            return 2;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const pixlor::host::Script script = pixlor::host::ParseScript(text);
    if (!script.errors.empty()) {
        for (const auto& error : script.errors) {
            std::fprintf(stderr, "%s:%d: %s\n", scriptPath.c_str(), error.line,
                         error.message.c_str());
        }
        return 2;
    }
    if (options.pluginPath.empty()) {
        options.pluginPath =
            pixlor::host::sys::ExecutableFolder() + pixlor::host::sys::Separator() + kPluginFile;
    }
    for (const auto& c : script.commands) {
        options.keyInjection =
            options.keyInjection ||
            (c.op == pixlor::host::Op::EscProgress && pixlor::host::sys::EscNeedsInjection(c.esc));
    }

    pixlor::host::sys::PrepareProcess();
    if (options.keyInjection) {
        std::string error;
        if (!pixlor::host::sys::PrepareKeyInjection(error)) {
            std::fprintf(stdout, "FAILED: %s\n", error.c_str());
            return 1;
        }
    }
    pixlor::host::TestHost host(options, stdout);
    return host.Run(script.commands);
}
