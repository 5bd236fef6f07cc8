#pragma once
// The program's files on disk: reading a file whole, and saving one so that no
// interruption leaves it broken.
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
// folder, a device, a pipe, a larger file, an I/O error. Opening never waits; reading
// waits for another process's in-place rewrite, kLockWait at most, and a file whose
// in-place rewrite is under way or was cut short reads as it was before
// (platform/in_place_rewrite.h).
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
// - in a folder closed to new files, a file the user may write is rewritten in place,
//   by the rules of platform/in_place_rewrite.h.
// The file keeps its permission bits unless `mode` forces them; a new file gets 0666 less
// the umask. False on any failure (more than kMaxFileBytes, a full disk, a file size
// limit, a lock another process keeps), the file then as it was, except when the folder
// could not be flushed after the rename: the new content is in place, but not known
// durable.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode = std::nullopt,
                    Replace which = Replace::IfWritable);

// Like "mkdir -p", every folder made readable by the user only; an existing last folder
// of the user's is closed to others' writes. True when `path` is a folder at the end.
bool makePrivateFolders(const std::string& path);

} // namespace platform
