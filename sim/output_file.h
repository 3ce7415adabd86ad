#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// An output file written whole or not at all: the text goes to a temporary
// file in the same folder, renamed over the real name only once complete,
// so that a failed or stopped write never leaves half a file behind.
struct OutputFile {
    std::string path;
    std::string temporary;
    std::FILE* file = nullptr;
};

// Creates the temporary file; false, with the reason, when the folder cannot
// take it or the name is not that of a regular file.
bool openOutput(OutputFile& output, const std::string& path, std::string& error);

bool writeOutput(OutputFile& output, std::string_view text);

// Closes the file and gives it its real name; false, with the reason and the
// temporary file removed, when any write failed.
bool commitOutput(OutputFile& output, std::string& error);

// Removes the temporary file, if there is one.
void discardOutput(OutputFile& output);
