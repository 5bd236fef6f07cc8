#pragma once
// Private-profile (INI) text files: the tournament file, the qualifying file and the
// per-user settings are all read and written through this layer.
//
// Reading rules
// - A header line is "[name]" (blanks allowed around it; a missing "]" ends the name at
//   the end of the line). An entry line is "key=value": the key is the text before the
//   first "=", the value the text after it. Blanks and tabs around names and values are
//   ignored, and one pair of matching quotes ("..." or '...') around a value is removed.
//   Lines starting with ";" and lines without "=" are not entries; they are kept as they
//   are, like lines before the first header and sections nobody asks for.
// - Section and key names match without regard to ASCII letter case. When a key appears
//   more than once, the first one in file order counts, for reading and for writing.
// - A value read is at most kIniValueMaxChars characters (not bytes): longer values are
//   cut to what the program's readers have always returned (a buffer of 1024
//   characters, the last one its terminating NUL).
// - Tolerated: a UTF-8 byte-order mark, a UTF-16 one (the file is then read as UTF-16 in
//   that byte order), CR LF, LF or a lone CR as line end, NUL bytes (dropped), lines of
//   any length. A line that is not valid UTF-8 is taken as Windows-1252, so files made on
//   Windows desktops keep their accents and one stray byte leaves the other lines as
//   they are.
// - Only a regular file of at most kMaxFileBytes (platform/files.h) is read; anything
//   else (a pipe, a device, a larger file) reads as a missing file and is never replaced.
//
// Writing rules
// - Files are written in UTF-8 without byte-order mark, every line ended by LF.
// - A value is always one line: each line break in it (CR LF, CR or LF) becomes one blank
//   and NUL bytes are dropped, so no typed text can add a line, a key or a section.
//   A value that starts or ends with a blank, or that is itself wrapped in matching
//   quotes, is written between double quotes so that it reads back exactly as given.
//   A value that is not valid UTF-8 is taken as Windows-1252.
// - Writing an empty value keeps the key with nothing after "=": it reads back as the
//   empty text, not as the caller's default (an emptied score box stays empty on load).
//   No key is ever removed.
// - A replaced key keeps its place; a new key goes after the last entry of its section; a
//   new section goes at the end of the file. Every other line stays as it was (re-encoded
//   to UTF-8 when the file was Windows-1252).
// - Every save is a whole-file rewrite by writeWholeFile (platform/files.h): a crash, a
//   kill or a full disk leaves either the old file or the new one, never a mix, also in a
//   folder that refuses new files. A file the user may not write is left alone, and so
//   is one the save would make larger than kMaxFileBytes. A save that failed leaves the old
//   file, but where writeWholeFile says otherwise (the new content in place, its folder not
//   flushed or an older recovery copy not removed).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

inline constexpr std::size_t kIniValueMaxChars = 1023;

class IniFile {
public:
    IniFile() = default;

    // Never fails: any bytes give a document.
    static IniFile parse(std::string_view bytes);
    // A missing file is an empty document; nullopt when the file exists but cannot be
    // read (a folder, an I/O error), so that a writer never replaces it by an empty one.
    static std::optional<IniFile> open(const std::string& path);
    // As open(), with an unreadable file taken as empty: for readers.
    static IniFile load(const std::string& path);

    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string serialize() const;

    // The whole document into `path`, by writeWholeFile: on failure, the file as it was but
    // where writeWholeFile says otherwise.
    // An existing file keeps its permission bits; a new one gets 0666 less the umask.
    bool saveAtomic(const std::string& path) const;
    // Same, with the file's permission bits forced to `mode` (e.g. 0600).
    bool saveAtomic(const std::string& path, unsigned mode) const;

    const std::vector<std::string>& lines() const { return lines_; }

private:
    bool save(const std::string& path, std::optional<unsigned> mode) const;
    std::vector<std::string> lines_; // UTF-8, no line ends
};

// Grouped writes to one file: the sets are kept in order and applied to a fresh read of
// the file in commit(), which does a single atomic rewrite. Nothing is written before
// commit(); a batch that is never committed changes nothing.
class IniBatch {
public:
    explicit IniBatch(std::string path);
    void set(std::string_view section, std::string_view key, std::string_view value);
    // False when the file exists but cannot be read, or cannot be written; the file is
    // then as it was (but where writeWholeFile says otherwise) and the sets are kept, so
    // commit() may be tried again. On success
    // the batch is emptied.
    bool commit();
    std::size_t pending() const { return sets_.size(); }

private:
    struct Set {
        std::string section, key, value;
    };
    std::string path_;
    std::vector<Set> sets_;
};

// One value from the file at `path`: the value when the key exists (empty when stored
// empty, whatever the default), else `def`. A missing or unreadable file gives `def`.
// The file is read afresh on every call.
std::string readIni(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view def = {});

// One value into the file at `path` (created when missing) as a whole-file atomic rewrite.
// False when the file could not be read or written; it is then as it was, but where
// writeWholeFile says otherwise.
bool writeIni(const std::string& path, std::string_view section, std::string_view key,
              std::string_view value);

} // namespace platform
