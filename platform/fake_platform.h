#pragma once
// A platform for tests: answers as the test says and records what it was asked.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "platform/platform.h"

namespace platform {

class FakePlatform : public Platform {
public:
    struct Box {
        std::string text;
        int style;
        std::string title;
    };
    std::vector<Box> boxes;
    int nextAnswer = AnsOk;
    std::vector<std::string> opened;
    std::string clipboard;
    std::vector<std::string> downloads;
    std::function<bool(const std::string&, const std::string&)> onDownload;
    std::vector<std::string> printed;
    // Secondary windows: the names of those on screen now, every unload in order, and
    // what the user does while a modal one is up.
    std::vector<std::string> shownForms;
    std::vector<std::string> unloadedForms;
    std::function<void(forms::Form&)> onModal;
    DateTime clock{2019, 6, 1, 12, 0, 0};
    std::vector<bool> busy;
    int yields = 0;
    std::function<void()> onYield;
    std::string folder = ".";
    int major = 1, minor = 1;
    std::string inputAnswer;
    bool ended = false;

    int messageBox(const std::string& text, int style, const std::string& title) override {
        boxes.push_back({text, style, title});
        return nextAnswer;
    }
    std::string inputBox(const std::string&, const std::string&, const std::string&) override { return inputAnswer; }
    void shellOpen(const std::string& target) override { opened.push_back(target); }
    void setClipboard(const std::string& text) override { clipboard = text; }
    bool download(const std::string& url, const std::string& file) override {
        downloads.push_back(url);
        return onDownload ? onDownload(url, file) : false;
    }
    bool printPicture(const std::string& formName) override {
        printed.push_back(formName);
        return true;
    }
    void showForm(forms::Form& form, bool modal) override {
        if (!isShown(form.name())) shownForms.push_back(form.name());
        if (modal && onModal) onModal(form);
    }
    void unloadForm(forms::Form& form) override {
        unloadedForms.push_back(form.name());
        shownForms.erase(std::remove(shownForms.begin(), shownForms.end(), form.name()), shownForms.end());
    }
    bool isShown(const std::string& name) const {
        return std::find(shownForms.begin(), shownForms.end(), name) != shownForms.end();
    }
    DateTime now() override { return clock; }
    std::string longDate(const DateTime& d) override {
        return std::to_string(d.day) + "/" + std::to_string(d.month) + "/" + std::to_string(d.year);
    }
    void setBusy(bool b) override { busy.push_back(b); }
    void yield() override {
        ++yields;
        if (onYield) onYield();
    }
    [[noreturn]] void endProcess() override {
        ended = true;
        throw ProcessEnded();
    }
    std::string programFolder() override { return folder; }
    int versionMajor() override { return major; }
    int versionMinor() override { return minor; }
};

} // namespace platform
