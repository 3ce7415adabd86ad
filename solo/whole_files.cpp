#include "whole_files.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellaro {

namespace fs = std::filesystem;

namespace {

std::string systemError() {
    return std::strerror(errno);
}

// Writes every byte to the descriptor; false when it could not.
bool writeAll(int descriptor, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// A temporary file beside `near` holding the text, flushed to the disk; its
// name, or empty with the reason.
std::string writeTemporary(const fs::path& near, const std::string& text, fs::perms permissions,
                           std::string& failure) {
    std::string name = near.string() + ".XXXXXX";
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        failure = systemError();
        return {};
    }
    bool written = fchmod(descriptor, static_cast<mode_t>(permissions)) == 0 &&
                   writeAll(descriptor, text) && fsync(descriptor) == 0;
    if (!written) {
        failure = systemError();
    }
    if (close(descriptor) != 0 && written) {
        failure = systemError();
        written = false;
    }
    if (!written) {
        unlink(name.c_str());
        return {};
    }
    return name;
}

} // namespace

FileRead readRegularFile(const fs::path& file, std::string& text, std::string& failure,
                         std::size_t largest) {
    text.clear();
    // Not blocking, so that a pipe in the file's place cannot hang the game.
    const int descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        if (errno == ENOENT) {
            return FileRead::Missing;
        }
        failure = systemError();
        return FileRead::Failed;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        failure = "not a file";
    } else if (static_cast<std::size_t>(status.st_size) > largest) {
        failure = "larger than " + std::to_string(largest) + " bytes";
    } else {
        std::array<char, 1 << 16> buffer{};
        for (;;) {
            const ssize_t got = read(descriptor, buffer.data(), buffer.size());
            if (got < 0) {
                failure = systemError();
                break;
            }
            if (got == 0) {
                break;
            }
            text.append(buffer.data(), static_cast<std::size_t>(got));
            // A file that grows while it is read is held to the limit too.
            if (text.size() > largest) {
                failure = "larger than " + std::to_string(largest) + " bytes";
                break;
            }
        }
    }
    close(descriptor);
    if (!failure.empty()) {
        text.clear();
        return FileRead::Failed;
    }
    return FileRead::Read;
}

bool replaceFile(const fs::path& target, const std::string& text, std::string& failure,
                 fs::perms fresh) {
    std::error_code missing;
    const fs::file_status status = fs::status(target, missing);
    const fs::perms permissions =
        fs::exists(status) ? status.permissions() & fs::perms::all : fresh;
    const std::string name = writeTemporary(target, text, permissions, failure);
    if (name.empty()) {
        return false;
    }
    if (std::rename(name.c_str(), target.c_str()) != 0) {
        failure = systemError();
        unlink(name.c_str());
        return false;
    }
    return true;
}

fs::path createFile(const fs::path& folder, const std::string& stem, const std::string& extension,
                    const std::string& text, std::string& failure) {
    const fs::path first = folder / (stem + '.' + extension);
    const std::string name =
        writeTemporary(first, text, fs::perms::owner_read | fs::perms::owner_write, failure);
    if (name.empty()) {
        return {};
    }
    // A second link under the free name, which link() never takes from
    // another file; then the temporary name goes.
    for (std::int32_t copy = 1;; ++copy) {
        std::string numbered = stem;
        numbered += '-';
        numbered += std::to_string(copy);
        numbered += '.';
        numbered += extension;
        fs::path target = copy == 1 ? first : folder / numbered;
        if (link(name.c_str(), target.c_str()) == 0) {
            unlink(name.c_str());
            return target;
        }
        if (errno != EEXIST) {
            failure = systemError();
            unlink(name.c_str());
            return {};
        }
    }
}

} // namespace pellaro
