#pragma once
// The plain file operations that the platform's own file code shares (platform/files.cpp
// defines them): not for the program's callers, who go through platform/files.h.
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/trust.h"

namespace platform::io {

// Owns one descriptor: no return, early or by exception, leaves it open.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes now; a write error the system deferred shows here.
    bool close();

private:
    int fd_;
};

std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);
bool endsWith(std::string_view s, std::string_view end);

// Opens without ever waiting for the writer of a pipe (a later fstat refuses it).
int openExisting(const std::string& path, int access);

// At most `limit` bytes of the regular file open on `fd`; nothing for anything else, or
// for more bytes.
std::optional<std::string> readFd(int fd, size_t limit);

bool writeAllAt(int fd, std::string_view data, off_t offset);
bool syncFolder(const std::string& dir);
// By default a file size limit ends the process at its first write past it; ignored, the
// write fails with EFBIG like any other, and the save says so.
void writesReportSizeLimits();

// The owner and group a new file takes over from the one it replaces, where the system
// lets it; `groupNeeded`: a new file that cannot have the group must not replace the old.
struct Owner {
    uid_t uid;
    gid_t gid;
    bool groupNeeded;
};

// Why a folder refused a new file: none may be made there, the file may not be replaced
// (a sticky folder), or the new file cannot have the group `owner` needs.
enum class Refusal { None, NoNewFile, MayNotReplace, NoGroup };

// `bytes` under `dir`/`name` through a temporary file and a rename, every write, the
// flush, the close and the size on disk checked; errno tells why it failed. Where the
// folder refuses the new file, *refused says how; *renamed tells that the file took its
// place, even when the folder's flush then failed.
bool renameInto(const std::string& dir, const std::string& name, std::string_view bytes, std::optional<unsigned> mode,
                Refusal* refused = nullptr, bool* renamed = nullptr, const Owner* owner = nullptr);

// Records why a save of `file` failed, for lastSaveFailure(): false, for the caller to return.
bool failed(SaveFailure::Cause cause, Why why, const std::string& file, const std::string& folder);
// The same, for a save that needed `folder` to be the user's own: the folder at fault where
// it is not, or else `folder` itself, with what the system said (`error`).
bool failedFor(SaveFailure::Cause cause, const std::string& file, const OwnFolder& folder, int error);
// What an error number says of a folder or its disk.
Why whyOf(int error);

} // namespace platform::io
