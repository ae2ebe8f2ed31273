#pragma once

#include <memory>
#include <string>
#include <vector>

#include "NetlistAnalysis.h"
#include "NetlistModel.h"

// Reads a netlist and, once each, the files it includes into the model; for the netlist itself
// also its outline and what its checks find.
class NetlistReader {
public:
    explicit NetlistReader(NetlistModelData& data) : data(data) {}

    void ReadNetlist(const std::string& path, std::shared_ptr<const NetlistText> text,
                     std::vector<OutlineItem>& outline, std::vector<NetlistFinding>& findings);

private:
    struct FileRead;
    class FileReading;
    int ReadFile(const std::string& path, std::shared_ptr<const NetlistText> text, bool titled,
                 FileRead* main);
    int ReadIncluded(const std::string& path);

    NetlistModelData& data;
};

// Whether a file of this name holds models and subcircuits only, with no title line.
bool IsLibraryFileName(const std::string& path);
// The file an include line names, as the simulator finds it: relative to the including file's
// folder; "~/" at the start is the home folder.
std::string ResolveIncludePath(const std::string& includingFile, const std::string& written);
