#pragma once
// Whom the program trusts: whose entries it reads, which folders are its own, which links
// it follows, how it makes and closes its folders, and what it sets aside or removes. The
// rules are stated at the top of trust.cpp.
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

namespace platform {

// Why a folder may not keep the program's own files, or why a write failed.
enum class Why {
    Unknown,
    ReadOnly,       // a write-protected folder, file or disk
    Full,           // a full disk, a quota or a size limit reached
    OthersMayWrite, // another account may change the folder
    OtherOwner,     // the folder, or a link on the way, is another account's
    AdminElsewhere, // a run as root, in a folder of another account's (a home under sudo)
    FileProtected,  // the file itself: write-protected, or another account's
    ReadProtected,  // the file may not be read
    TooLarge,       // the file is larger than the program reads
    NotAFile,       // a folder, a pipe or a device at the file's name
    OthersLink,     // another account's link at the file's name, in a folder others may change
    Missing,        // the folder is not there (or no longer)
};

// The folder (or file) at fault, and why; an empty `folder` when there is no fault.
struct FolderFault {
    Why why = Why::Unknown;
    std::string folder;
};

// A folder where the program keeps files of its own (the settings folder), judged once: by
// rule 3 nobody but the user or root can change the answer afterwards. Copies share that one
// judgement.
class OwnFolder {
public:
    OwnFolder(std::string path = {});
    const std::string& path() const;
    // The first folder at fault from the top, judged at the first call (and again only for
    // another effective user). A folder of the user's left open to others is closed then, and
    // a missing one made then, where every folder above passed.
    const FolderFault& fault() const;
    bool own() const { return !path().empty() && fault().folder.empty(); }
    // Whether the program may look into it: a run as root looks into no folder not its own.
    bool mayLook() const { return own() || ::geteuid() != 0; }
    // The path that reaches `name` (the folder itself for "") in the very folder the judgement
    // opened, whatever stands at path() since (the folder deleted and made again by another
    // account); "" where the walk stopped above the folder, so that nothing is read there.
    std::string at(const std::string& name) const;

private:
    struct Judgement;
    std::shared_ptr<Judgement> judged_;
};

// How a message names a path that OwnFolder::at gave: by the folder's own path.
std::string shown(const std::string& path);

// Removes what a killed download left at `path`, in `settings` (a path settings.at() gave)
// or in the program's folder: the user's own file or link. An entry of another kind in its
// way (a folder) is set aside in the settings folder, so that the next download can land.
void removeLeftover(const std::string& path, const OwnFolder& settings);

// Whether `path` is a regular file of the user's, not a link: one the program itself may
// have made there, never what another account put at its name.
bool isOwnFile(const std::string& path);

namespace io {

// Whether an entry of `uid` is trusted as the user's own: the user's, or root's.
bool usersOrRoots(uid_t uid);

// The file a path names once every link on its last part is followed; a dangling link
// names the file it would create. In a folder that others may write, a link that neither
// the user nor the folder's owner made is not followed: the path then names that link.
// For the settings (`settings`), no other account's link is followed, whoever owns its folder.
std::string followLinks(std::string path, bool settings = false);

// Whether the settings file open on `fd`, in `settings`, may be read: the user's or root's,
// and with no second link where the folder is not the user's own.
bool mayReadSettings(int fd, const OwnFolder& settings);
// At start, the settings folder's entry at `path` that is not to be used: another
// account's, or root's that the user may not read, is set aside.
void setAsideUntrusted(const std::string& path);

// Renames `entry` to "KIND-TAG-N" + `ending` in its folder, a name no save or start looks
// at and that was free, for whoever wants to see what it holds. False when the entry could
// not be set aside (gone, or the folder refuses).
bool setAside(const std::string& entry, const std::string& kind, const std::string& tag,
              const std::string& ending = ".ini");

// Removes from `dir` the user's own temporaries of saves whose process is gone.
void removeDeadTemporaries(const std::string& dir);

} // namespace io

} // namespace platform
