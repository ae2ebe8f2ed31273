#include "CheckedNetlistGenerator.h"

#include <random>

std::string GenerateCheckedNetlist(std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string text;
    text.reserve(bytes + 256);
    text += "Generated netlist for the checks\n.include models.lib\n";
    constexpr int kCells = 200;
    for (int cell = 0; cell < kCells; ++cell) {
        const std::string name = std::to_string(cell);
        text += ".subckt cell" + name + " in out gnd\nR1 in mid 1k\nC1 mid gnd 1p\n"
                "R2 mid out {rval}\n.ends cell" + name + "\n.model d" + name + " d(is=1e-14)\n";
    }
    text += ".param rval=2k\nV1 n0 0 pulse(0 1 0 1n 1n 5n 10n)\n";
    int node = 0;
    int element = 0;
    while (text.size() < bytes) {
        const std::string from = "n" + std::to_string(node);
        const std::string to = "n" + std::to_string(++node);
        const std::string id = std::to_string(++element);
        switch (random() % 4) {
        case 0: text += "R" + id + " " + from + " " + to + " 10k\n"; break;
        case 1: text += "X" + id + " " + from + " " + to + " 0 cell" + std::to_string(random() % kCells) + "\n"; break;
        case 2: text += "D" + id + " " + from + " " + to + " d" + std::to_string(random() % kCells) + "\n"; break;
        default: text += "C" + id + " " + from + " " + to + " 2.2p\n+ ic=0\n"; break;
        }
        text += "R" + std::to_string(++element) + "g " + to + " 0 1meg\n";
    }
    text += ".tran 1n 100n\n.end\n";
    return text;
}
