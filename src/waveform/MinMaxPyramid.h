#pragma once

#include <cstddef>
#include <vector>

// The smallest and largest value of a series over any range of its samples, found in time that
// grows with the logarithm of the range: the extremes of blocks of 16, 256, 4096 … samples are
// kept, about an eighth of the series' own size. Values that are not finite numbers (NaN, the
// infinities of the dB of a zero) are passed over.
class CMinMaxPyramid {
public:
    struct SRange {
        double minimum;
        double maximum;
        // False when the range held no number at all.
        bool any;
    };

    CMinMaxPyramid() = default;
    // The series must stay where it is, unchanged, while the pyramid is used.
    CMinMaxPyramid(const double* values, std::size_t count);

    // The extremes of the samples first .. last - 1.
    SRange Over(std::size_t first, std::size_t last) const;
    std::size_t Count() const { return count; }
    // The bytes the pyramid keeps beside the series.
    std::size_t KeptBytes() const;

private:
    static constexpr std::size_t kFanOut = 16;

    struct SLevel {
        std::size_t blockSize;  // samples per block
        std::vector<double> minimum;
        std::vector<double> maximum;
    };

    const double* values = nullptr;
    std::size_t count = 0;
    std::vector<SLevel> levels;
};
