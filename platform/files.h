#pragma once
// The program's files on disk: reading a file whole, saving one so that no interruption
// leaves it broken, and the clean-up at start of what interrupted saves left behind.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The largest file read, and written: far above any of the program's files (a few KB
// each), low enough that no file can stall the window or fill the memory. A save never
// writes a file that the next start could not read.
inline constexpr std::size_t kMaxFileBytes = std::size_t{4} << 20;

// The bytes of a regular file of at most kMaxFileBytes, or nothing: a missing file, a
// folder, a device, a pipe, a larger file, an I/O error. Opening never blocks; reading
// waits for an in-place rewrite of the file by another copy of the program to finish.
// `missing`, when given, is set only for a file that does not exist, so that a writer
// may create that one but never replaces a file it could not read.
std::optional<std::string> readWholeFile(const std::string& path, bool* missing = nullptr);

// Whether a save may write the file at `path` (through links, their target): true when
// there is no file yet or for a regular file the user may write; false for a file the
// user made read-only, a folder, a device or a pipe.
bool mayWriteFile(const std::string& path);

// Which files a write may replace: a save, only those the user may write; a replacement
// the user asked for in so many words, also a file the user made read-only.
enum class Replace { IfWritable, EvenReadOnly };

// Replaces the content of the file at `path` by `bytes` so that an interruption at any
// moment leaves the old content or the new one, never a mix:
// - a temporary file ".NAME.tmp-PID-N" beside the file (beside the target of a link,
//   which stays a link) is written, flushed and renamed over it;
// - in a folder closed to new files, a file the user may write is rewritten in place:
//   its old content goes first to a recovery copy in the recovery folder (with its
//   length and checksum), the new size is reserved before anything changes (so a full
//   disk fails there), and the copy is removed once the new content is flushed. The
//   file stays locked (flock) meanwhile, so another copy of the program neither
//   rewrites it, nor puts an old content back, nor reads it half-written.
// The file keeps its permission bits unless `mode` forces them; a new file gets 0666 less
// the umask. False on any failure (more than kMaxFileBytes, a full disk, a file size
// limit), the file then as it was, except when the folder could not be flushed after the
// rename: the new content is in place, but not known durable.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode = std::nullopt,
                    Replace which = Replace::IfWritable);

// The user's own folder that keeps the recovery copies (the settings' folder). Until one
// is given, no file is rewritten in place.
void setRecoveryFolder(std::string folder);

// Called, when set, once an in-place rewrite has kept the old content and before the file
// changes: the moment a kill leaves work for the next start, which the tests reach at will.
inline void (*onRecoveryCopyKept)() = nullptr;

// At start, before any file is read: puts back the old content of every file whose
// in-place rewrite did not finish (and whose file no running copy of the program holds),
// sets aside under another name a recovery copy that is not whole, then removes the
// temporaries of saves whose process is gone, from the recovery folder, from `folders`
// and from the folders of the targets of links to INI files found there.
void recoverUnfinishedSaves(const std::vector<std::string>& folders);

// Like "mkdir -p", every folder made readable by the user only. True when `path` is a
// folder at the end.
bool makePrivateFolders(const std::string& path);

} // namespace platform
