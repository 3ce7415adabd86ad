#include "output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string reasonOf(const std::string& path, int number) {
    return "cannot write " + path + ": " + std::strerror(number);
}

} // namespace

bool openOutput(OutputFile& output, const std::string& path, std::string& error) {
    output = OutputFile{path, {}, nullptr};
    std::error_code failure;
    const auto status = std::filesystem::status(path, failure);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    const std::filesystem::path name(path);
    const std::filesystem::path folder = name.has_parent_path() ? name.parent_path() : ".";
    const std::string pattern = (folder / ("." + name.filename().string() + ".XXXXXX")).string();
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = reasonOf(path, errno);
        return false;
    }
    // mkstemp makes the file private; the finished file gets the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    output.temporary = temporary.data();
    output.file = fdopen(descriptor, "w");
    if (output.file == nullptr) {
        error = reasonOf(path, errno);
        close(descriptor);
        discardOutput(output);
        return false;
    }
    return true;
}

bool writeOutput(OutputFile& output, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), output.file) == text.size();
}

bool commitOutput(OutputFile& output, std::string& error) {
    const bool written = std::ferror(output.file) == 0;
    const bool closed = std::fclose(output.file) == 0;
    const int number = errno;
    output.file = nullptr;
    if (!written || !closed) {
        error = reasonOf(output.path, written ? number : EIO);
        discardOutput(output);
        return false;
    }
    if (std::rename(output.temporary.c_str(), output.path.c_str()) != 0) {
        error = reasonOf(output.path, errno);
        discardOutput(output);
        return false;
    }
    output.temporary.clear();
    return true;
}

void discardOutput(OutputFile& output) {
    if (output.file != nullptr) {
        std::fclose(output.file);
        output.file = nullptr;
    }
    if (!output.temporary.empty()) {
        std::remove(output.temporary.c_str());
        output.temporary.clear();
    }
}
