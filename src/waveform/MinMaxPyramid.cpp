#include "MinMaxPyramid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Folds a value into the extremes; a NaN never wins a comparison, so it is passed over.
inline void Fold(double value, double& minimum, double& maximum) {
    if (value < minimum || std::isnan(minimum))
        minimum = value;
    if (value > maximum || std::isnan(maximum))
        maximum = value;
}

inline void FoldRange(double low, double high, double& minimum, double& maximum) {
    if (!std::isnan(low))
        Fold(low, minimum, maximum);
    if (!std::isnan(high))
        Fold(high, minimum, maximum);
}

}  // namespace

CMinMaxPyramid::CMinMaxPyramid(const double* values, std::size_t count)
    : values(values), count(count) {
    std::size_t blockSize = kFanOut;
    const std::vector<double>* lowerMinimum = nullptr;
    const std::vector<double>* lowerMaximum = nullptr;
    while (blockSize < count) {
        SLevel level;
        level.blockSize = blockSize;
        const std::size_t blocks = (count + blockSize - 1) / blockSize;
        level.minimum.assign(blocks, kNone);
        level.maximum.assign(blocks, kNone);
        for (std::size_t block = 0; block < blocks; ++block) {
            double minimum = kNone, maximum = kNone;
            if (lowerMinimum == nullptr) {
                const std::size_t end = std::min(count, (block + 1) * blockSize);
                for (std::size_t index = block * blockSize; index < end; ++index) {
                    if (std::isfinite(values[index]))
                        Fold(values[index], minimum, maximum);
                }
            } else {
                const std::size_t end = std::min(lowerMinimum->size(), (block + 1) * kFanOut);
                for (std::size_t index = block * kFanOut; index < end; ++index)
                    FoldRange((*lowerMinimum)[index], (*lowerMaximum)[index], minimum, maximum);
            }
            level.minimum[block] = minimum;
            level.maximum[block] = maximum;
        }
        levels.push_back(std::move(level));
        lowerMinimum = &levels.back().minimum;
        lowerMaximum = &levels.back().maximum;
        if (blockSize > std::numeric_limits<std::size_t>::max() / kFanOut)
            break;
        blockSize *= kFanOut;
    }
}

CMinMaxPyramid::SRange CMinMaxPyramid::Over(std::size_t first, std::size_t last) const {
    last = std::min(last, count);
    double minimum = kNone, maximum = kNone;
    // Samples up to the first block boundary, the largest whole blocks in between, then the
    // samples after the last boundary: each level adds at most 2 × 15 steps.
    auto samples = [&](std::size_t from, std::size_t to) {
        for (std::size_t index = from; index < to; ++index) {
            if (std::isfinite(values[index]))
                Fold(values[index], minimum, maximum);
        }
    };
    std::size_t from = first;
    std::size_t to = last;
    if (from >= to)
        return {kNone, kNone, false};
    // The coarsest level with a whole block inside the range.
    int top = -1;
    for (int level = 0; level < static_cast<int>(levels.size()); ++level) {
        const std::size_t size = levels[level].blockSize;
        if ((from + size - 1) / size * size + size <= to)
            top = level;
    }
    if (top < 0) {
        samples(from, to);
        return {minimum, maximum, !std::isnan(minimum)};
    }
    const std::size_t topSize = levels[top].blockSize;
    const std::size_t innerFrom = (from + topSize - 1) / topSize * topSize;
    const std::size_t innerTo = to / topSize * topSize;
    for (std::size_t block = innerFrom / topSize; block < innerTo / topSize; ++block)
        FoldRange(levels[top].minimum[block], levels[top].maximum[block], minimum, maximum);
    // The edges, from the coarse levels down to single samples.
    std::size_t left = innerFrom;
    std::size_t right = innerTo;
    for (int level = top - 1; level >= 0; --level) {
        const std::size_t size = levels[level].blockSize;
        const std::size_t leftStart = (from + size - 1) / size * size;
        for (std::size_t block = leftStart / size; block < left / size; ++block)
            FoldRange(levels[level].minimum[block], levels[level].maximum[block], minimum,
                      maximum);
        left = std::min(left, leftStart);
        const std::size_t rightEnd = to / size * size;
        for (std::size_t block = right / size; block < rightEnd / size; ++block)
            FoldRange(levels[level].minimum[block], levels[level].maximum[block], minimum,
                      maximum);
        right = std::max(right, rightEnd);
    }
    samples(from, left);
    samples(right, to);
    return {minimum, maximum, !std::isnan(minimum)};
}

std::size_t CMinMaxPyramid::KeptBytes() const {
    std::size_t bytes = 0;
    for (const SLevel& level : levels)
        bytes += (level.minimum.capacity() + level.maximum.capacity()) * sizeof(double);
    return bytes;
}
