#include "fakes/FakeHost.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include "host/Host.h"
#include "tools/hostkit/LanguageFile.h"

#ifndef PIXLOR_TEST_PLUGIN_DIR
#error "PIXLOR_TEST_PLUGIN_DIR must name the folder of the built plugin"
#endif

namespace pixlor {

std::string PluginFile(const std::string& name) {
    return std::string(PIXLOR_TEST_PLUGIN_DIR) + "/" + name;
}

FakeHost::FakeHost() {
    hostkit::LanguageFile file;
    if (!hostkit::ReadLanguageFile(PluginFile("PixlorEng.lng"), file)) {
        throw std::runtime_error("cannot read " + PluginFile("PixlorEng.lng"));
    }
    english_ = file.messages;
    kit_.SetMessages(file.messages);
}

FakeHost::~FakeHost() {
    ForgetHostRecords();
}

void FakeHost::Start() {
    Start(KeepHostRecords);
}

void FakeHost::Start(void (*setStartupInfo)(const PluginStartupInfo&)) {
    auto functions = std::make_unique<FarStandardFunctions>();
    auto info = std::make_unique<PluginStartupInfo>(kit_.MakeStartupInfo());
    *functions = *info->FSF;
    info->FSF = functions.get();
    setStartupInfo(*info);
    // The host's records were locals of its loader: gone after the call.
    std::memset(static_cast<void*>(functions.get()), 0xDD, sizeof *functions);
    std::memset(static_cast<void*>(info.get()), 0xDD, sizeof *info);
}

void FakeHost::AnswerMessages(std::initializer_list<int> answers) {
    kit_.messageAnswers.insert(kit_.messageAnswers.end(), answers);
}

void FakeHost::AnswerDialogs(std::initializer_list<int> answers) {
    kit_.dialogAnswers.insert(kit_.dialogAnswers.end(), answers);
}

void FakeHost::OnDialog(std::function<int(DialogCall&, FarDialogItem*, int)> handler) {
    kit_.onDialog = std::move(handler);
}

std::string FakeHost::Text(int id) const {
    return id >= 0 && static_cast<std::size_t>(id) < english_.size()
               ? english_[static_cast<std::size_t>(id)]
               : std::string();
}

std::vector<std::string> FakeHost::Texts(std::initializer_list<int> ids) const {
    std::vector<std::string> texts;
    for (int id : ids) {
        texts.push_back(Text(id));
    }
    return texts;
}

const MessageCall& FakeHost::LastMessage() const {
    if (kit_.messages.empty()) {
        throw std::logic_error("no Message call was recorded");
    }
    return kit_.messages.back();
}

} // namespace pixlor
