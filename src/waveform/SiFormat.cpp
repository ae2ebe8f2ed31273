#include "SiFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char* PrefixOf(int exponent) {
    switch (exponent) {
        case -12: return "p";
        case -9: return "n";
        case -6: return "\xC2\xB5";  // µ
        case -3: return "m";
        case 3: return "k";
        case 6: return "M";
        case 9: return "G";
        default: return "";
    }
}

}  // namespace

int SiExponentOf(double magnitude) {
    magnitude = std::abs(magnitude);
    if (!(magnitude > 0) || !std::isfinite(magnitude))
        return 0;
    // A hair below the boundary still counts as the larger prefix ("1 k" rather than "1000").
    const double power = std::floor((std::log10(magnitude) + 4e-10) / 3) * 3;
    return static_cast<int>(std::clamp(power, -12.0, 9.0));
}

std::string FormatSiFixed(double value, int exponent, int decimals, const std::string& unit) {
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "\xE2\x88\x9E" : "-\xE2\x88\x9E");
    char text[64];
    decimals = std::clamp(decimals, 0, 15);
    const double scaled = value / std::pow(10.0, exponent);
    // Beyond the prefixes a value takes the power of ten: a diverged run reaches 1e100.
    if (std::abs(scaled) >= 1e6) {
        std::snprintf(text, sizeof text, "%.4g", scaled);
        const std::string suffix = std::string(PrefixOf(exponent)) + unit;
        return suffix.empty() ? std::string(text) : std::string(text) + " " + suffix;
    }
    std::snprintf(text, sizeof text, "%.*f", decimals, scaled);
    std::string number(text);
    if (number.find('.') != std::string::npos) {
        number.erase(number.find_last_not_of('0') + 1);
        if (number.back() == '.')
            number.pop_back();
    }
    if (number == "-0")
        number = "0";
    const std::string suffix = std::string(PrefixOf(exponent)) + unit;
    return suffix.empty() ? number : number + " " + suffix;
}

std::string FormatSi(double value, const std::string& unit, int significant) {
    int exponent = SiExponentOf(value);
    auto decimalsFor = [&](int power) {
        const double scaled = std::abs(value) / std::pow(10.0, power);
        const int integerDigits =
            scaled >= 1 ? static_cast<int>(std::floor(std::log10(scaled))) + 1 : 1;
        return std::max(0, significant - integerDigits);
    };
    // Rounding may carry into the next prefix: 999.96 V is "1 kV", not "1000 V".
    const int decimals = decimalsFor(exponent);
    const double rounded = std::round(std::abs(value) / std::pow(10.0, exponent) *
                                      std::pow(10.0, decimals)) /
                           std::pow(10.0, decimals);
    if (rounded >= 1000 && exponent < 9)
        exponent += 3;
    return FormatSiFixed(value, exponent, decimalsFor(exponent), unit);
}
