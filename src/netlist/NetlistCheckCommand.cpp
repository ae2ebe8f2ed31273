#include "NetlistCheckCommand.h"

#include <filesystem>
#include <fstream>
#include <sstream>

std::string FormatFinding(const NetlistFinding& finding) {
    return finding.place.file + ":" + std::to_string(finding.place.line + 1) + ":" +
           std::to_string(finding.place.column + 1) + ": " +
           (finding.level == FindingLevel::Error ? "error" : "warning") + ": " + finding.text;
}

int RunNetlistCheck(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
    bool anyError = false;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        if (in.is_open() && !std::filesystem::is_directory(file))
            bytes << in.rdbuf();
        if (!in.is_open() || in.bad() || std::filesystem::is_directory(file)) {
            err << file << ": error: не удалось прочитать файл\n";
            anyError = true;
            continue;
        }
        const auto analysis = AnalyzeNetlist(file, NetlistText::FromBytes(bytes.str()));
        for (const NetlistFinding& finding : analysis->findings) {
            out << FormatFinding(finding) << '\n';
            anyError = anyError || finding.level == FindingLevel::Error;
        }
    }
    out.flush();
    return anyError ? 1 : 0;
}
