#pragma once
// Reading a file whole, as the INI layer and the language loader do.
#include <optional>
#include <string>

namespace platform {

// The bytes of the file, or nothing when it cannot be read (a folder, an I/O error);
// `missing`, when given, tells a file that does not exist from one that cannot be read.
std::optional<std::string> readWholeFile(const std::string& path, bool* missing = nullptr);

} // namespace platform
