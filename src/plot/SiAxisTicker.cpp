#include "SiAxisTicker.h"

#include <algorithm>
#include <cmath>

#include "SiFormat.h"

QVector<QString> CSiAxisTicker::createLabelVector(const QVector<double>& ticks, const QLocale&,
                                                  QChar, int) {
    QVector<QString> labels;
    if (ticks.isEmpty())
        return labels;
    double largest = 0;
    for (double tick : ticks)
        largest = std::max(largest, std::abs(tick));
    const int exponent = SiExponentOf(largest);
    const double step = ticks.size() > 1 ? std::abs(ticks[1] - ticks[0]) : largest;
    const double scaledStep = step / std::pow(10.0, exponent);
    // As many decimals as the step needs to be written exactly: a step of 0.25 takes two, so
    // that 4.25 does not read as 4.2.
    int decimals = 0;
    while (decimals < 9 && scaledStep > 0) {
        const double shifted = scaledStep * std::pow(10.0, decimals);
        if (std::abs(shifted - std::round(shifted)) < 1e-6 * std::max(1.0, shifted))
            break;
        ++decimals;
    }
    labels.reserve(ticks.size());
    for (double tick : ticks)
        labels.append(QString::fromStdString(FormatSiFixed(tick, exponent, decimals, unit)));
    return labels;
}

QString CSiLogAxisTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return QString::fromStdString(FormatSi(tick, unit, 3));
}
