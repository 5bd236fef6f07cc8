#pragma once
// The plain file operations that the platform's own file code shares (platform/files.cpp
// defines them): not for the program's callers, who go through platform/files.h.
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::io {

// Owns one descriptor: no return, early or by exception, leaves it open.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
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

// The file a path names once every link on its last part is followed; a dangling link
// names the file it would create. In a folder that others may write, a link that neither
// the user nor the folder's owner made is not followed: the path then names that link.
std::string followLinks(std::string path);

// Whether an entry of `uid` is trusted as the user's own: the user's, or root's.
bool usersOrRoots(uid_t uid);

// Renames `entry` to "KIND-TAG-N" + `ending` in its folder, a name no save or start looks
// at, for whoever wants to see what it holds; never runs out of names.
void setAside(const std::string& entry, const std::string& kind, const std::string& tag,
              const std::string& ending = ".ini");

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

// `bytes` under `dir`/`name` through a temporary file and a rename, every write, the
// flush, the close and the size on disk checked. Where the folder refuses the new file
// (no file may be made there, the file may not be replaced, or the new file cannot have
// the group `owner` needs), that error goes to *refused (0 otherwise); *renamed tells that
// the file took its place, even when the folder's flush then failed.
bool renameInto(const std::string& dir, const std::string& name, std::string_view bytes, std::optional<unsigned> mode,
                int* refused = nullptr, bool* renamed = nullptr, const Owner* owner = nullptr);

// Removes from `dir` the temporaries, the user's or root's, of saves whose process is gone.
void removeDeadTemporaries(const std::string& dir);

} // namespace platform::io
