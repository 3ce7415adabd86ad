#include "data_home.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pellaro {

TemporaryDataHome::TemporaryDataHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pellaro-solo-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    folder = pattern;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
}

TemporaryDataHome::~TemporaryDataHome() {
    unsetenv("XDG_DATA_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string TemporaryDataHome::setting() const {
    return "XDG_DATA_HOME=" + folder.string();
}

std::filesystem::path TemporaryDataHome::pellaro() const {
    return folder / "pellaro";
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace pellaro
