#pragma once
// The program's files on disk: reading a file whole, and saving one so that no
// interruption leaves it broken.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/trust.h"

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
// may create that one but never replaces a file it could not read; why a file that is there
// could not be read goes to lastSaveFailure(), for the message and for a save of it. `settings`,
// when given, is the folder of the settings file `path` names, read only as platform/trust.h
// allows.
std::optional<std::string> readWholeFile(const std::string& path, bool* missing = nullptr,
                                         const OwnFolder* settings = nullptr);

// The bytes of a file that no save of the program writes (a language file), as they stand:
// no lock waited for, no recovery copy looked at. Same bounds as readWholeFile.
std::optional<std::string> readPlainFile(const std::string& path);

// Which files a write may replace: a save, only those the user may write; a replacement
// the user asked for in so many words, also a file the user made read-only; a private copy
// of the user's (a backup, a download), only a file of the user's own the user may write,
// never one another account could read or keep open.
enum class Replace { IfWritable, EvenReadOnly, OwnOnly };

// Replaces the content of the file at `path` by `bytes` so that an interruption at any
// moment leaves the old content or the new one, never a mix:
// - a temporary file ".NAME.tmp-PID-N" beside the file (beside the target of a link,
//   which stays a link), N a number no one can foresee, is written, flushed and renamed
//   over it;
// - in a folder closed to new files, a file the user may write is rewritten in place,
//   by the rules of platform/in_place_rewrite.h.
// - a file others may share keeps its group and mode (its owner too where the system
//   allows): where a new file could not have its group, or may not replace it (a sticky
//   folder), a file the user may write is rewritten in place; the user's own file whose
//   group the user is not in, where it cannot be rewritten in place, is replaced by a new
//   file of the user's group, whose group bits become its other bits.
// The file keeps its permission bits unless `mode` forces them (a private file of the
// user's, which need not keep its group); a new file gets 0666 less the umask. In a
// folder that others may write, a link neither the user nor the folder's owner made is
// never written through, nor replaced. False on any failure (more than kMaxFileBytes, a
// full disk, a file size limit, a lock another process keeps), the file then as it was
// (or as another program wrote it meanwhile, in place), except when the folder could not
// be flushed after the rename (the new content is in place, but not known durable), and
// when an older recovery copy could not be removed after a save by rename: the new content
// is in place, but the next start may put the copy's back. lastSaveFailure() tells why.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode = std::nullopt,
                    Replace which = Replace::IfWritable);

// Why the last save of this thread failed (writeWholeFile, the read before it, or a
// setting not kept), or why a file that is there could not be read, for the message that
// tells the user what to do (an empty `file` after a successful save).
struct SaveFailure {
    enum Cause {
        Folder,   // the folder or its disk (or, for a setting, the settings folder)
        InUse,    // another program holds the file's lock
        Recovery, // the old content could not be kept, or let go, in the recovery folder (the settings')
    } cause = Folder;
    Why why = Why::Unknown;
    std::string file;   // the path the save was given
    std::string folder; // the folder to name: the file's own (a link's target's), the recovery folder, the one
                        // at fault, or the file itself where the file is at fault
};
const SaveFailure& lastSaveFailure();

} // namespace platform
