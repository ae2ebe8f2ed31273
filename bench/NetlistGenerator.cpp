#include "NetlistGenerator.h"

#include <random>

std::string GenerateNetlist(std::size_t bytes, unsigned seed) {
    static const char* const kElements[] = {"R", "C", "L", "V", "D", "Q", "M", "X"};
    static const char* const kValues[] = {"10.00k", "4.700u", "100.00n", "1.00meg",
                                          "2.200p", "33.00",  "1.00e-3"};
    // "* Узел фильтра" and "* Вход" in Windows-1251.
    static const char* const kComments[] = {"* \xD3\xE7\xE5\xEB \xF4\xE8\xEB\xFC\xF2\xF0\xE0",
                                            "* \xC2\xF5\xEE\xE4 \xF1\xF5\xE5\xEC\xFB"};
    std::mt19937 random(seed);
    std::string text;
    text.reserve(bytes + 128);
    text += "Generated netlist\r\n";
    int element = 0;
    while (text.size() < bytes) {
        unsigned kind = random() % 20;
        if (kind == 0) {
            text += kComments[random() % 2];
            text += " N";
            text += std::to_string(random() % 100000);
        } else if (kind == 1) {
            text += ".model DMOD";
            text += std::to_string(random() % 1000);
            text += " D(IS=1e-14 N=1.05)";
        } else {
            text += kElements[random() % 8];
            text += std::to_string(++element);
            text += " node";
            text += std::to_string(random() % 50000);
            text += " node";
            text += std::to_string(random() % 50000);
            text += ' ';
            text += kValues[random() % 7];
        }
        text += "\r\n";
    }
    text += ".end\r\n";
    return text;
}
