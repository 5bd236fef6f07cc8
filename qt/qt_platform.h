#pragma once
// The real desktop under the program: Qt dialogs, shell, clipboard and clock, libcurl
// downloads, printing of a window's picture.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QSize>

#include "platform/platform.h"

class QObject;
class QWidget;

namespace zqt {

class QtPlatform : public platform::Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // A window the program may print or put its dialogs over, by its form's name.
    // `refresh` brings the window up to date with its model; dialogs and yields call it
    // first so the user never sees a stale window behind a question.
    void attach(const std::string& formName, QWidget* window, std::function<void()> refresh);
    void detach(const std::string& formName);

    // A box with an OK button alone, asked before any window of the program is on screen
    // (a start-up notice), waits for the first window to be painted and is answered OK at
    // once; a question is always asked at once, after any box still waiting.
    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& def) override;
    std::string inputPassword(const std::string& prompt, const std::string& title, const std::string& def) override;
    void shellOpen(const std::string& target) override;
    void setClipboard(const std::string& text) override;
    platform::Download download(const std::string& url, const std::string& file) override;
    bool printPicture(const std::string& formName) override;
    bool pictureReadable(const std::string& file, int* width = nullptr, int* height = nullptr) override;
    void showForm(forms::Form& form, bool modal) override;
    void unloadForm(forms::Form& form) override;
    platform::DateTime now() override;
    std::string longDate(const platform::DateTime& d) override;
    std::string formatDate(const platform::DateTime& d, const std::string& pattern) override;
    void setBusy(bool busy) override;
    void yield() override;
    [[noreturn]] void endProcess() override;
    std::string programFolder() override;
    int versionMajor() override;
    int versionMinor() override;

    // Seconds without a byte before a download is given up; tests shorten it.
    long stallSeconds = 30;
    // Longest time a download may take in all, and the largest body accepted; a
    // tournament file is about 10 KB, a contest picture a few dozen.
    long totalTimeoutMs = 20000;
    long long maxDownloadBytes = 1 << 20;
    // The longest time while no window of the program is on screen yet: a download at
    // start-up (the contest picture) must not keep the user from the window.
    long startupTimeoutMs = 3000;

private:
    struct Attached {
        QWidget* window;
        std::function<void()> refresh;
    };
    void refreshAll();
    // The size of the program's largest window, in pixels.
    QSize largestPicture() const;
    std::string askText(const std::string& prompt, const std::string& title, const std::string& def, bool hidden);
    QWidget* dialogParent() const;
    int ask(const std::string& text, int style, const std::string& title);
    void showHeld();

    std::map<std::string, Attached> windows_;
    std::map<const forms::Form*, class SecondaryWindow*> secondary_;
    bool busy_ = false;

    struct HeldBox {
        std::string text, title;
        int style;
    };
    std::vector<HeldBox> held_;
    // Set once a window of the program has been on screen: from then on nothing waits.
    bool windowUp_ = false;
    // Watches for the first painted window while boxes wait.
    std::unique_ptr<QObject> firstPaint_;
};

} // namespace zqt
