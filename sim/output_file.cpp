#include "output_file.h"

#include "simulation.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string reasonOf(const std::string& path, int number) {
    return "cannot write " + path + ": " + std::strerror(number);
}

std::filesystem::path folderOf(const std::string& path) {
    const std::filesystem::path name(path);
    return name.has_parent_path() ? name.parent_path() : ".";
}

// A hidden name beside the target, for the instant between linking the
// finished file and renaming it over the target, or for the whole run where
// nameless files are not to be had.
int hiddenFile(const std::string& path, std::string& name) {
    const std::string pattern =
        (folderOf(path) / ("." + std::filesystem::path(path).filename().string() + ".XXXXXX"))
            .string();
    std::vector<char> text(pattern.begin(), pattern.end());
    text.push_back('\0');
    const int descriptor = mkstemp(text.data());
    name = text.data();
    return descriptor;
}

// Gives the nameless file of `descriptor` the name `path`, replacing what
// had it: linked under a hidden name first, since a link never replaces.
bool nameFile(int descriptor, const std::string& path) {
    std::string hidden;
    const int placeholder = hiddenFile(path, hidden);
    if (placeholder < 0) {
        return false;
    }
    close(placeholder);
    std::remove(hidden.c_str());
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, hidden.c_str(), AT_SYMLINK_FOLLOW) != 0 &&
        linkat(descriptor, "", AT_FDCWD, hidden.c_str(), AT_EMPTY_PATH) != 0) {
        return false;
    }
    if (std::rename(hidden.c_str(), path.c_str()) != 0) {
        const int number = errno;
        std::remove(hidden.c_str());
        errno = number;
        return false;
    }
    return true;
}

} // namespace

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open(const std::string& path, std::string& error) {
    discard();
    path_ = path;
    if (path == "-") {
        file_ = stdout;
        return true;
    }
    std::error_code failure;
    const auto status = std::filesystem::status(path, failure);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    int descriptor = ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        descriptor = hiddenFile(path, temporary_);
        if (descriptor >= 0) {
            removeOnSecondStop(temporary_);
            // mkstemp makes the file private; the finished file gets the usual mode.
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(descriptor, 0666 & ~mask);
        }
    }
    if (descriptor < 0) {
        error = reasonOf(path, errno);
        temporary_.clear();
        return false;
    }
    file_ = fdopen(descriptor, "w");
    if (file_ == nullptr) {
        error = reasonOf(path, errno);
        close(descriptor);
        discard();
        return false;
    }
    return true;
}

bool OutputFile::write(std::string_view text) const {
    return std::fwrite(text.data(), 1, text.size(), file_) == text.size();
}

bool OutputFile::commit(std::string& error) {
    if (file_ == stdout) {
        const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
        file_ = nullptr;
        if (!written) {
            error = "cannot write to standard output: " + std::string(std::strerror(errno));
        }
        return written;
    }
    bool done = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    int number = done ? 0 : (errno != 0 ? errno : EIO);
    if (done && temporary_.empty() && !nameFile(fileno(file_), path_)) {
        done = false;
        number = errno;
    }
    if (done && !temporary_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        done = false;
        number = errno;
    }
    if (done) {
        keepOnSecondStop(temporary_);
        temporary_.clear();
    }
    if (std::fclose(file_) != 0 && done) {
        done = false;
        number = errno;
    }
    file_ = nullptr;
    if (!done) {
        error = reasonOf(path_, number);
        discard();
    }
    return done;
}

void OutputFile::discard() {
    if (file_ != nullptr && file_ != stdout) {
        std::fclose(file_);
    }
    file_ = nullptr;
    if (!temporary_.empty()) {
        keepOnSecondStop(temporary_);
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

bool sameOutput(const std::string& a, const std::string& b) {
    if (a == "-" || b == "-") {
        return a == b;
    }
    std::error_code failure;
    if (std::filesystem::equivalent(a, b, failure)) {
        return true;
    }
    const auto canonicalA = std::filesystem::weakly_canonical(a, failure);
    const auto canonicalB = std::filesystem::weakly_canonical(b, failure);
    return !failure && canonicalA == canonicalB;
}
