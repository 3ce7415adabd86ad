#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>

namespace pellaro {

// The player's files, read and written whole: a reader never hangs on
// something that is no file, and a file is replaced by its new text or left
// as it was, never half written.

enum class FileRead : std::uint8_t { Missing, Read, Failed };

// Reads a regular file into `text`. A pipe, device or folder in its place,
// a file larger than `largest` bytes or a failed read is Failed, with the
// reason in `failure`.
FileRead readRegularFile(const std::filesystem::path& file, std::string& text, std::string& failure,
                         std::size_t largest = std::numeric_limits<std::size_t>::max());

// Writes the text to a new temporary file beside the target, flushed to the
// disk, with the target's permissions (or `fresh` when there is no target
// yet), and renames it over the target; on failure removes it, leaves the
// target as it was and gives the reason.
bool replaceFile(const std::filesystem::path& target, const std::string& text, std::string& failure,
                 std::filesystem::perms fresh = std::filesystem::perms::owner_read |
                                                std::filesystem::perms::owner_write);

// Writes the text, as replaceFile does, to the first name of
// `stem`.`extension`, `stem`-2.`extension`, ... in the folder that no file
// has, never replacing one; the name taken, or empty with the reason.
std::filesystem::path createFile(const std::filesystem::path& folder, const std::string& stem,
                                 const std::string& extension, const std::string& text,
                                 std::string& failure);

} // namespace pellaro
