#pragma once
// Text and number helpers shared by every layer: the leading-number rule that reads
// every score, caption and tag, and the number formats the window shows.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Leading-number rule: blanks are skipped, then an optional sign and the digits at the
// start of the text (at most one decimal point) form the number. A text that does not
// begin with a number counts 0. Never throws, whatever the text.
double val(std::string_view text);

// a + b held within the largest doubles, so that absurd scores added up never make a
// shown figure infinite or not a number.
double finiteSum(double a, double b);

// Plain decimal text of a double, as a caption shows it: no trailing zeros, no
// decimal point for whole numbers, "-" before a negative value ("3", "-2", "1.5").
std::string numText(double v);

// Fixed pattern with `intDigits` zero-padded integer digits and `decimals` decimals,
// rounded half away from zero ("00.0000" is formatFixed(v, 2, 4)).
std::string formatFixed(double v, int intDigits, int decimals);

// Whole number as "00" (two digits at least).
std::string twoDigits(int v);

// Replace every occurrence of `what` in `s` by `with`.
std::string replaceAll(std::string s, std::string_view what, std::string_view with);

std::string trim(std::string_view s);

// The fields of a text between the separators; n separators give n + 1 fields.
std::vector<std::string_view> split(std::string_view s, char sep);

// Order of a sorted list as a person expects it: case and accents do not count first,
// the exact text breaks ties. Returns <0, 0, >0.
int compareForList(std::string_view a, std::string_view b);

// True when the bytes are valid UTF-8.
bool isUtf8(std::string_view s);
// Windows-1252 bytes to UTF-8, for files made on Windows desktops.
std::string cp1252ToUtf8(std::string_view s);

// A text file's bytes as the program reads them: a file with a UTF-16 byte order mark
// read as UTF-16; NUL bytes and leading UTF-8 byte-order marks dropped, and each line
// (ended by CR or LF) that is not valid UTF-8 taken as Windows-1252, so one stray byte
// leaves the rest of the file as it is.
std::string decodeTextFile(std::string_view bytes);

// The first `n` characters of UTF-8 text, never splitting a character.
std::string_view firstChars(std::string_view text, std::size_t n);

} // namespace platform
