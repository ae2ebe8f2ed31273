#include "LogFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <algorithm>

namespace {

QFont::StyleHint HintOfFamily(std::uint8_t pitchAndFamily) {
    switch (pitchAndFamily & LogFont::kFamilyMask) {
        case LogFont::kFamilyRoman:
            return QFont::Serif;
        case LogFont::kFamilySwiss:
            return QFont::SansSerif;
        case LogFont::kFamilyModern:
            return QFont::Monospace;
        case LogFont::kFamilyScript:
            return QFont::Cursive;
        case LogFont::kFamilyDecorative:
            return QFont::Decorative;
        default:
            return (pitchAndFamily & LogFont::kPitchMask) == LogFont::kFixedPitch ? QFont::Monospace
                                                                                  : QFont::AnyStyle;
    }
}

std::uint8_t FamilyOfHint(QFont::StyleHint hint) {
    switch (hint) {
        case QFont::Serif:
            return LogFont::kFamilyRoman;
        case QFont::SansSerif:
            return LogFont::kFamilySwiss;
        case QFont::TypeWriter:
        case QFont::Monospace:
            return LogFont::kFamilyModern;
        case QFont::Cursive:
            return LogFont::kFamilyScript;
        case QFont::Decorative:
            return LogFont::kFamilyDecorative;
        default:
            return LogFont::kFamilyDontCare;
    }
}

QFont::StyleStrategy StrategyOfQuality(std::uint8_t quality) {
    switch (quality) {
        case LogFont::kNonAntialiasedQuality:
            return QFont::NoAntialias;
        case LogFont::kAntialiasedQuality:
        case LogFont::kClearTypeQuality:
            return QFont::PreferAntialias;
        default:
            return QFont::PreferDefault;
    }
}

std::uint8_t QualityOfStrategy(QFont::StyleStrategy strategy) {
    if (strategy & QFont::NoAntialias)
        return LogFont::kNonAntialiasedQuality;
    if (strategy & QFont::PreferAntialias)
        return LogFont::kAntialiasedQuality;
    return LogFont::kDefaultQuality;
}

// What fontconfig makes of an empty face with a family hint.
QString GenericFace(QFont::StyleHint hint) {
    switch (hint) {
        case QFont::Monospace:
            return QStringLiteral("monospace");
        case QFont::Serif:
            return QStringLiteral("serif");
        case QFont::SansSerif:
            return QStringLiteral("sans-serif");
        default:
            return QString();
    }
}

}  // namespace

QFont LogFont::ToQFont() const {
    QFont font;
    const QFont::StyleHint hint = HintOfFamily(pitchAndFamily);
    font.setStyleHint(hint, StrategyOfQuality(quality));
    const QString face = faceName.empty() ? GenericFace(hint) : QString::fromStdString(faceName);
    if (!face.isEmpty())
        font.setFamily(face);
    if (height != 0)
        font.setPixelSize(height < 0 ? -height : height);
    font.setWeight(weight == kDontCareWeight
                       ? QFont::Normal
                       : static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(italic != 0);
    font.setUnderline(underline != 0);
    font.setStrikeOut(strikeOut != 0);
    if ((pitchAndFamily & kPitchMask) == kFixedPitch) {
        font.setFixedPitch(true);
        // The desktop's "monospace" may be a face the font system does not count as fixed
        // pitch; a text laid out in cells wants one that is.
        if (faceName.empty() && !QFontInfo(font).fixedPitch()) {
            const QStringList families = QFontDatabase::families();
            for (const QString& family : families) {
                if (QFontDatabase::isFixedPitch(family)) {
                    font.setFamily(family);
                    break;
                }
            }
        }
    }
    return font;
}

LogFont LogFont::FromQFont(const QFont& font, std::uint8_t charSet) {
    const QFontInfo matched(font);
    LogFont result;
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : matched.pixelSize();
    result.height = -pixels;
    result.weight = font.weight();
    result.italic = font.italic() ? 1 : 0;
    result.underline = font.underline() ? 1 : 0;
    result.strikeOut = font.strikeOut() ? 1 : 0;
    result.charSet = charSet;
    result.quality = QualityOfStrategy(font.styleStrategy());
    std::uint8_t family = FamilyOfHint(font.styleHint());
    if (family == kFamilyDontCare && matched.fixedPitch())
        family = kFamilyModern;
    result.pitchAndFamily =
        static_cast<std::uint8_t>((matched.fixedPitch() ? kFixedPitch : kVariablePitch) | family);
    result.faceName = font.family().toStdString();
    return result;
}
