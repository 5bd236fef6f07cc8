#pragma once
// A platform for tests: answers as the test says and records what it was asked.
#include <algorithm>
#include <fstream>
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
    std::function<Download(const std::string&, const std::string&)> onDownload;
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
    // Every input box, with whether it hid what was typed.
    struct Input {
        std::string prompt, title, def;
        bool masked;
    };
    std::vector<Input> inputs;
    bool ended = false;

    int messageBox(const std::string& text, int style, const std::string& title) override {
        boxes.push_back({text, style, title});
        return nextAnswer;
    }
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& def) override {
        inputs.push_back({prompt, title, def, false});
        return inputAnswer;
    }
    std::string inputPassword(const std::string& prompt, const std::string& title, const std::string& def) override {
        inputs.push_back({prompt, title, def, true});
        return inputAnswer;
    }
    void shellOpen(const std::string& target) override { opened.push_back(target); }
    void setClipboard(const std::string& text) override { clipboard = text; }
    Download download(const std::string& url, const std::string& file) override {
        downloads.push_back(url);
        return onDownload ? onDownload(url, file) : Download::Failed;
    }
    // Unset: a picture is a file that starts as a GIF or PNG file does, of the size its
    // header gives.
    std::function<bool(const std::string&, int*, int*)> onPictureReadable;
    bool pictureReadable(const std::string& file, int* width = nullptr, int* height = nullptr) override {
        if (onPictureReadable) return onPictureReadable(file, width, height);
        std::ifstream in(file, std::ios::binary);
        unsigned char h[24] = {};
        in.read(reinterpret_cast<char*>(h), sizeof h);
        const auto n = in.gcount();
        int w = 0, ht = 0;
        if (n >= 10 && std::string(reinterpret_cast<char*>(h), 4) == "GIF8") {
            w = h[6] | h[7] << 8;
            ht = h[8] | h[9] << 8;
        } else if (n >= 24 && std::string(reinterpret_cast<char*>(h + 1), 3) == "PNG") {
            w = h[18] << 8 | h[19];
            ht = h[22] << 8 | h[23];
        } else {
            return false;
        }
        if (width) *width = w;
        if (height) *height = ht;
        return true;
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
    // English names, so tests read the same everywhere.
    std::string formatDate(const DateTime& d, const std::string& pattern) override {
        static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
        static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        // Sakamoto's weekday rule, 0 = Sunday.
        static const int kShift[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
        const int y = d.month < 3 ? d.year - 1 : d.year;
        const int wd = (y + y / 4 - y / 100 + y / 400 + kShift[(d.month + 11) % 12] + d.day) % 7;
        auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
        std::string out;
        for (size_t i = 0; i < pattern.size();) {
            if (pattern.compare(i, 4, "dddd") == 0) { out += kDays[wd]; i += 4; }
            else if (pattern.compare(i, 4, "yyyy") == 0) { out += std::to_string(d.year); i += 4; }
            else if (pattern.compare(i, 3, "MMM") == 0) { out += kMonths[(d.month + 11) % 12]; i += 3; }
            else if (pattern.compare(i, 2, "dd") == 0) { out += two(d.day); i += 2; }
            else out += pattern[i++];
        }
        return out;
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
