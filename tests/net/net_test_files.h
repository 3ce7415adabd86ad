#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace pellaro {

// A seat token as the server gives one, and pellaro-net's menu prompt.
inline const std::string sampleToken = "0123456789abcdef0123456789abcdef";
inline const std::string menuPrompt =
    "(C)reate a table, (J)oin one, (W)atch one, (L)ist the waiting tables, (Q)uit: ";

// A new empty folder, removed with everything in it at the end.
struct TemporaryFolder {
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pellaro-net-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    TemporaryFolder(TemporaryFolder&&) = delete;
    TemporaryFolder& operator=(TemporaryFolder&&) = delete;

    std::filesystem::path path;
};

inline std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace pellaro
