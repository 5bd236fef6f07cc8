#pragma once
// A file rewritten in place where its folder takes no new file: its recovery copy, its
// lock, how it is read meanwhile, and the restore at the next start. The rules are
// stated at the top of in_place_rewrite.cpp.
#include <sys/file.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/trust.h"

namespace platform {

// The user's own folder that keeps the recovery copies (the settings' folder): judged as it
// is given, unless it was already, the settings and the protocol then sharing that one
// decision. Until one is given, no file is rewritten in place.
void setRecoveryFolder(const OwnFolder& folder);

// At start, before any file is read: puts back onto each of `files` (the program's own
// files, which a save may rewrite in place) the old content of a rewrite that did not
// finish, sets aside a copy that is not whole or that content saved since has made
// stale, then removes the temporaries of saves whose process is gone from those files'
// folders (and their links') and the recovery folder.
void recoverUnfinishedSaves(const std::vector<std::string>& files);

// The longest any lock is waited for: another process, even one of another account that
// may only read the file, never holds the program longer.
inline constexpr std::chrono::milliseconds kLockWait{2000};

// Called, when set, once an in-place rewrite has kept the old content and before the file
// changes: the moment a kill leaves work for the next start, which the tests reach at will.
inline void (*onRecoveryCopyKept)() = nullptr;

// The lock call, so that the tests can stand on a file system without locks.
inline int (*lockCall)(int fd, int how) = ::flock;

namespace in_place {

// What platform/files.cpp asks of the protocol.
enum class Outcome {
    Done,
    Failed, // the file could not be written (a full disk, a size limit)
    InUse,  // another process kept the file's lock
    NoCopy, // the old content could not be kept in the recovery folder
    CopyStays, // its copy could not be removed: not done, the old content written back
};
// Rewrites the regular file `target` (its links followed) in place; unless Done, the file
// reads as it was (or as another program wrote it meanwhile), and errno tells why.
Outcome rewrite(const std::string& target, std::string_view bytes, std::optional<unsigned> mode);
const OwnFolder& recoveryFolder();
// The content of the file at `path` (its links followed), open on `fd`, as last saved whole.
std::optional<std::string> read(int fd, const std::string& path);
// A save by rename replaced `target`: no older content may come back over it. False when
// a copy stays that could put it back.
bool replaced(const std::string& target);
// The name of the recovery copy of the file at `path`, in the recovery folder.
std::string copyNameOf(const std::string& path);

} // namespace in_place

} // namespace platform
