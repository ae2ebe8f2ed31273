#pragma once

#include <string>

// Values with SI prefixes from p to G, in UTF-8: "1.5 µs", "-20 mV", "3.3 kHz", "0 V".

// The power of ten (a multiple of 3, from -12 to 9) whose prefix shows the magnitude with one
// to three digits before the point.
int SiExponentOf(double magnitude);

// The value in the prefix of the exponent with the given number of decimals, trailing zeros
// dropped, then the prefix and unit: the labels of one axis share the exponent of its range.
std::string FormatSiFixed(double value, int exponent, int decimals, const std::string& unit);

// The value with its own prefix and at most `significant` significant digits.
std::string FormatSi(double value, const std::string& unit, int significant = 4);
