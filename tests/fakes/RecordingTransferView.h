// A TransferView that records what the engines show and ask as plain events,
// answers their questions from a script, and presses Esc where a test says:
// the rules of a copy or a deletion as a sequence, with no host at all.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "fakes/FoldingNameRules.h"
#include "transfer/TransferView.h"

namespace pixlor::fakes {

class RecordingTransferView final : public TransferView {
public:
    std::vector<std::string> events;
    std::vector<PanelItem> selection;       // what Selection returns
    std::vector<uint32_t> marked;           // what MarkedPositions returns
    std::deque<bool> answers;               // for the questions, in order (none: Esc)
    std::function<bool(int call)> progress; // each FileProgress call (from 1); false: Esc
    int progressCalls = 0;
    FoldingNameRules names;

    void SaveScreen() override { events.push_back("SaveScreen"); }
    void RestoreScreen() override { events.push_back("RestoreScreen"); }
    void ReportError(const CameraCodes& codes) override {
        events.push_back("Error " + std::to_string(codes.linkStatus));
    }
    const NameRules& Names() const override { return names; }
    void ReportIncompleteFile(const std::string& path) override {
        events.push_back("Incomplete " + path);
    }
    std::vector<PanelItem> Selection() override {
        events.push_back("Selection");
        return selection;
    }
    std::vector<uint32_t> MarkedPositions(const PanelView&) override {
        events.push_back("Marked");
        return marked;
    }
    void Unmark(uint32_t position) override {
        events.push_back("Unmark " + std::to_string(position));
    }
    void RefreshAfterDeletion() override { events.push_back("Refresh"); }
    void RefreshFromTop() override { events.push_back("RefreshFromTop"); }
    void RefreshKeeping(const PanelView&, const std::vector<uint32_t>& keep) override {
        std::string event = "RefreshKeeping";
        for (const uint32_t position : keep) {
            event += " " + std::to_string(position);
        }
        events.push_back(event);
    }
    void ListMayBeStale() override { events.push_back("Stale"); }

    void StartCopy(uint32_t totalFiles, uint32_t totalBytes) override {
        events.push_back("Copy " + std::to_string(totalFiles) + " files " +
                         std::to_string(totalBytes) + " bytes");
    }
    void StartFile(const std::string& path) override { events.push_back("File " + path); }
    bool FileProgress(uint32_t, uint32_t) override {
        ++progressCalls;
        return !progress || progress(progressCalls);
    }
    void FinishFile(uint32_t size) override { events.push_back("Done " + std::to_string(size)); }
    void ShowDeleting(std::size_t index, std::size_t count) override {
        events.push_back("Deleting " + std::to_string(index) + "/" + std::to_string(count));
    }

    bool AskDownloadRemaining() override { return Answer("AskGoOn"); }
    bool AskDeleteRemaining() override { return Answer("AskDelete"); }
    void WarnNotCopied(uint32_t pictures) override {
        events.push_back("NotCopied " + std::to_string(pictures));
    }
    void WarnThumbnailMoveKept() override { events.push_back("ThumbnailMoveKept"); }

private:
    bool Answer(const char* question) {
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        events.push_back(std::string(question) + (yes ? " yes" : " no"));
        return yes;
    }
};

} // namespace pixlor::fakes
