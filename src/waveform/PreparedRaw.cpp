#include "PreparedRaw.h"

std::shared_ptr<SPreparedRaw> PrepareRaw(std::shared_ptr<const SRawFile> file) {
    auto prepared = std::make_shared<SPreparedRaw>();
    prepared->file = std::move(file);
    prepared->descriptions = DescribePlots(*prepared->file);
    for (const SRawPlot& plot : prepared->file->plots) {
        auto drawable = std::make_unique<CDrawablePlot>(plot);
        std::vector<std::pair<std::size_t, VectorPart>> wanted;
        for (std::size_t vector = 1; vector < plot.vectors.size(); ++vector) {
            for (VectorPart part : drawable->DefaultParts())
                wanted.push_back({vector, part});
        }
        drawable->Prepare(wanted);
        prepared->plots.push_back(std::move(drawable));
    }
    return prepared;
}
