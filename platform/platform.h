#pragma once
// What the program asks of the desktop it runs on. The real implementation lives in qt/;
// tests use platform::FakePlatform, which records every request.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace forms {
class Form;
}

namespace platform {

// Message box styles: one set of buttons plus at most one icon, added together.
enum MsgStyle : int {
    MbOk = 0,
    MbYesNo = 4,
    MbIconInformation = 64,
};
enum MsgAnswer : int { AnsOk = 1, AnsYes = 6, AnsNo = 7 };

struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// How a download ended: its whole body is in the file; the transfer failed (the server,
// the network); or the body arrived whole but this machine's disk did not take it all (a
// full disk, a file size limit). Only the first leaves a file.
enum class Download { Stored, Failed, NotStored };

// Thrown by the fake platform's endProcess so a test can watch the program end.
struct ProcessEnded : std::runtime_error {
    ProcessEnded() : std::runtime_error("process ended") {}
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;
    virtual std::string inputBox(const std::string& prompt, const std::string& title, const std::string& def) = 0;
    // As inputBox, with what is typed hidden from view (a password).
    virtual std::string inputPassword(const std::string& prompt, const std::string& title, const std::string& def) = 0;
    virtual void shellOpen(const std::string& target) = 0;
    virtual void setClipboard(const std::string& text) = 0;
    virtual Download download(const std::string& url, const std::string& file) = 0;
    virtual bool printPicture(const std::string& formName) = 0;
    // True when the file decodes as a picture the windows can draw; its size in pixels
    // goes to *width and *height when they are given.
    virtual bool pictureReadable(const std::string& file, int* width = nullptr, int* height = nullptr) = 0;
    // Secondary windows. Draws `form` as a top-level window of its own, or brings it to
    // the front when it is already shown; a modal one returns only once it is unloaded.
    virtual void showForm(forms::Form& form, bool modal) = 0;
    // Takes the window away; safe from inside one of that window's own handlers (the
    // widgets go after the running handler returns, and never touch the form again).
    virtual void unloadForm(forms::Form& form) = 0;
    virtual DateTime now() = 0;
    virtual std::string longDate(const DateTime& d) = 0;
    // The date by a pattern in the user's language: "dddd" the weekday's name, "dd" the
    // day on two digits, "MMM" the month's short name, "yyyy" the year; other
    // characters stand as they are. `d` must be a valid date.
    virtual std::string formatDate(const DateTime& d, const std::string& pattern) = 0;
    virtual void setBusy(bool busy) = 0;
    // Lets paint and timer events run, never user input.
    virtual void yield() = 0;
    // Ends the process at once: no Unload handling, nothing saved.
    [[noreturn]] virtual void endProcess() = 0;
    virtual std::string programFolder() = 0;
    virtual int versionMajor() = 0;
    virtual int versionMinor() = 0;
};

} // namespace platform
