#pragma once

#include <cstdint>
#include <string>

class QFont;

// A font description with the fields of the desktop's LOGFONT record, which documents keep and
// views apply. Converted to a QFont for drawing, and back from the QFont a font chooser returns.
struct LogFont {
    // weight
    static constexpr std::int32_t kDontCareWeight = 0;
    static constexpr std::int32_t kNormalWeight = 400;
    static constexpr std::int32_t kBoldWeight = 700;
    // charSet
    static constexpr std::uint8_t kAnsiCharSet = 0;
    static constexpr std::uint8_t kDefaultCharSet = 1;
    static constexpr std::uint8_t kRussianCharSet = 204;
    // quality
    static constexpr std::uint8_t kDefaultQuality = 0;
    static constexpr std::uint8_t kNonAntialiasedQuality = 3;
    static constexpr std::uint8_t kAntialiasedQuality = 4;
    static constexpr std::uint8_t kClearTypeQuality = 5;
    // pitchAndFamily: the pitch in the low two bits, the family in the high four
    static constexpr std::uint8_t kDefaultPitch = 0x00;
    static constexpr std::uint8_t kFixedPitch = 0x01;
    static constexpr std::uint8_t kVariablePitch = 0x02;
    static constexpr std::uint8_t kPitchMask = 0x03;
    static constexpr std::uint8_t kFamilyDontCare = 0x00;
    static constexpr std::uint8_t kFamilyRoman = 0x10;
    static constexpr std::uint8_t kFamilySwiss = 0x20;
    static constexpr std::uint8_t kFamilyModern = 0x30;  // fixed-pitch faces
    static constexpr std::uint8_t kFamilyScript = 0x40;
    static constexpr std::uint8_t kFamilyDecorative = 0x50;
    static constexpr std::uint8_t kFamilyMask = 0xF0;

    // Negative: the character height in pixels. Positive: the cell height, taken here as the
    // pixel size too. Zero: the default size.
    std::int32_t height = 0;
    std::int32_t width = 0;                 // average character width; kept, not applied
    std::int32_t escapement = 0;            // tenths of a degree; kept, not applied
    std::int32_t orientation = 0;           // tenths of a degree; kept, not applied
    std::int32_t weight = kDontCareWeight;  // 1-1000, the scale QFont::Weight uses too
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = kAnsiCharSet;  // kept; fontconfig finds a face that covers the text
    std::uint8_t outPrecision = 0;        // kept, not applied
    std::uint8_t clipPrecision = 0;       // kept, not applied
    std::uint8_t quality = kDefaultQuality;
    std::uint8_t pitchAndFamily = kDefaultPitch | kFamilyDontCare;
    std::string faceName;  // UTF-8; fontconfig resolves names it knows aliases for

    bool operator==(const LogFont&) const = default;

    QFont ToQFont() const;
    // The chosen font as a description: height as a negative pixel size, the weight, the style
    // flags, the face, the pitch and family of the face actually matched. A QFont carries no
    // character set: the caller names it.
    static LogFont FromQFont(const QFont& font, std::uint8_t charSet = kRussianCharSet);
};
