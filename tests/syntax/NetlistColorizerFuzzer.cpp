// Fuzzes the line colouring: the first byte is the state carried in, the rest is the line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "NetlistColorizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 100000)
        return 0;
    LineScanState state = data[0] & kAllScanBits;
    const char* line = reinterpret_cast<const char*>(data + 1);
    int length = static_cast<int>(size - 1);

    // Exactly the room the caller promises, so that one run too many is caught.
    std::vector<ColorRun> runs(3 * static_cast<std::size_t>(length));
    int count = 0;
    LineScanState end = ClassifyNetlistLine(state, line, length, runs.data(), count);
    if (count > 3 * length || (end & ~kAllScanBits) != 0)
        std::abort();
    for (int index = 0; index < count; ++index) {
        if (runs[index].start < 0 || runs[index].start > length)
            std::abort();
        if (index > 0 && runs[index].start < runs[index - 1].start)
            std::abort();
    }
    int unused = 0;
    if (ClassifyNetlistLine(state, line, length, nullptr, unused) != end || unused != 0) {
        std::abort();
    }
    return 0;
}
