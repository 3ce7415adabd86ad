#include "outputs.h"

#include "summary_json.h"
#include "svg_chart.h"

namespace {

bool openIfNamed(OutputFile& file, const std::string& path, std::string& error) {
    return path.empty() || openOutput(file, path, error);
}

bool writeIfOpen(OutputFile& file, const std::string& text, std::string& error) {
    if (file.file == nullptr) {
        return true;
    }
    writeOutput(file, text);
    return commitOutput(file, error);
}

} // namespace

bool openResultFiles(ResultFiles& files, const std::string& json, const std::string& svg,
                     std::string& error) {
    if (!openIfNamed(files.json, json, error) || !openIfNamed(files.svg, svg, error)) {
        discardResultFiles(files);
        return false;
    }
    return true;
}

bool writeResultFiles(ResultFiles& files, const SimResults& results, std::string& error) {
    const bool written = writeIfOpen(files.json, summaryJson(results), error) &&
                         writeIfOpen(files.svg, svgChart(results), error);
    discardResultFiles(files);
    return written;
}

void discardResultFiles(ResultFiles& files) {
    discardOutput(files.json);
    discardOutput(files.svg);
}
