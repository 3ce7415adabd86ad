#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// An output written whole or not at all. A file's text goes to a nameless
// file in the target's folder that gets its name only once complete, so that
// a failed or stopped run, even one killed outright, leaves no half file and
// no stray temporary one; "-" is standard output. Discarded unless committed.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&&) = delete;
    OutputFile& operator=(OutputFile&&) = delete;

    // False, with the reason, when the folder cannot take the file or the
    // name is that of something other than a regular file.
    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    std::FILE* stream() const { return file_; }
    bool write(std::string_view text) const;
    // Completes the file under its name; false, with the reason and nothing
    // left behind, when any write failed.
    bool commit(std::string& error);
    void discard();

private:
    std::string path_;
    // Set only where the folder's file system has no nameless files.
    std::string temporary_;
    std::FILE* file_ = nullptr;
};

// Whether two output names lead to one file, so that one output would
// silently replace the other.
bool sameOutput(const std::string& a, const std::string& b);
