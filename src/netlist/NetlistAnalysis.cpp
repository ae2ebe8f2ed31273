#include "NetlistAnalysis.h"

#include "NetlistModel.h"
#include "NetlistReader.h"

std::shared_ptr<const NetlistAnalysis> AnalyzeNetlist(const std::string& path, NetlistText text) {
    auto data = std::make_shared<NetlistModelData>();
    auto analysis = std::make_shared<NetlistAnalysis>();
    NetlistReader reader(*data);
    reader.ReadNetlist(path, std::make_shared<const NetlistText>(std::move(text)),
                       analysis->outline, analysis->findings);
    analysis->data = std::move(data);
    return analysis;
}
