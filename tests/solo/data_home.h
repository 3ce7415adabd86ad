#pragma once

#include <filesystem>
#include <string>

namespace pellaro {

// While it lives, XDG_DATA_HOME names a new empty folder under the system's
// temporary folder, so that results files are written there and nowhere else.
struct TemporaryDataHome {
    TemporaryDataHome();
    ~TemporaryDataHome();
    TemporaryDataHome(const TemporaryDataHome&) = delete;
    TemporaryDataHome& operator=(const TemporaryDataHome&) = delete;
    TemporaryDataHome(TemporaryDataHome&&) = delete;
    TemporaryDataHome& operator=(TemporaryDataHome&&) = delete;

    // The setting to hand to the real program.
    std::string setting() const;
    // The results file's folder inside it.
    std::filesystem::path pellaro() const;

    std::filesystem::path folder;
};

// Every byte of a file, none when it cannot be read.
std::string bytesOf(const std::filesystem::path& file);

} // namespace pellaro
