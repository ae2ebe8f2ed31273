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
    const int decimals =
        scaledStep > 0 ? std::max(0, static_cast<int>(std::ceil(-std::log10(scaledStep) - 1e-9)))
                       : 0;
    labels.reserve(ticks.size());
    for (double tick : ticks)
        labels.append(QString::fromStdString(FormatSiFixed(tick, exponent, decimals, unit)));
    return labels;
}

QString CSiLogAxisTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return QString::fromStdString(FormatSi(tick, unit, 3));
}
