#pragma once
// Whom the program trusts: whose entries it reads, which folders are its own, which links
// it follows, how it makes and closes its folders, and what it sets aside or removes. The
// rules are stated at the top of trust.cpp.
#include <sys/stat.h>

#include <string>

namespace platform {

// Why a folder may not keep the program's own files, or why a write failed.
enum class Why {
    Unknown,
    ReadOnly,       // a write-protected folder, file or disk
    Full,           // a full disk, a quota or a size limit reached
    OthersMayWrite, // another account may change the folder
    OtherOwner,     // the folder, or a link on the way, is another account's
};

// The folder at fault when `path` is not a folder of the user's own, and why; an empty
// `folder` when it is one.
struct FolderFault {
    Why why = Why::Unknown;
    std::string folder;
};
FolderFault ownFolderFault(const std::string& path);
bool isOwnFolder(const std::string& path);

// Like "mkdir -p", each folder made readable by the user only, and only in a folder of the
// user's or root's; the last folder, when the user's, is closed to others' writes. True
// when `path` is a folder at the end.
bool makePrivateFolders(const std::string& path);

// Removes what a killed download left at `path`: the user's own file or link, in a folder
// of the user's own or in the program's folder. An entry of another kind in its way (a
// folder) is set aside in a folder of the user's own, so that the next download can land.
void removeLeftover(const std::string& path, bool inProgramFolder);

namespace io {

// Whether an entry of `uid` is trusted as the user's own: the user's, or root's.
bool usersOrRoots(uid_t uid);

// Whether no other account may add, remove or rename an entry in the folder `st` describes.
bool closedToOthers(const struct stat& st);

// The file a path names once every link on its last part is followed; a dangling link
// names the file it would create. In a folder that others may write, a link that neither
// the user nor the folder's owner made is not followed: the path then names that link.
std::string followLinks(std::string path);

// Whose entry `path` names in the settings folder (the recovery folder). Another account's
// is never read, written, nor written through; root's (left by a run under sudo) is the
// user's to replace.
enum class Entry { Elsewhere, Users, Roots, Others };
Entry settingsEntry(const std::string& path);
// Whether the file open on `fd`, found at `path`, may be read: anything but another
// account's file in the settings folder.
bool mayRead(int fd, const std::string& path);
// At start, the settings folder's entry at `path` that is not to be used: another
// account's, or root's that the user may not read, is set aside.
void setAsideUntrusted(const std::string& path);

// Renames `entry` to "KIND-TAG-N" + `ending` in its folder, a name no save or start looks
// at and that was free, for whoever wants to see what it holds. False when the entry could
// not be set aside (gone, or the folder refuses).
bool setAside(const std::string& entry, const std::string& kind, const std::string& tag,
              const std::string& ending = ".ini");

// Removes from `dir` the temporaries, the user's or root's, of saves whose process is gone.
void removeDeadTemporaries(const std::string& dir);

} // namespace io

} // namespace platform
