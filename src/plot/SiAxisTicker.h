#pragma once

#include <qcustomplot.h>

#include <string>

// Tick labels with SI prefixes and the axis' unit. On a linear axis all labels share the prefix
// of the range, with as many decimals as the step needs ("0 µs 0.5 µs 1 µs"); on a logarithmic
// one each decade takes its own ("1 kHz 10 kHz 100 kHz 1 MHz").
class CSiAxisTicker : public QCPAxisTicker {
public:
    explicit CSiAxisTicker(std::string unit = {}) : unit(std::move(unit)) {}
    void SetUnit(std::string value) { unit = std::move(value); }

protected:
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                       QChar formatChar, int precision) override;

private:
    std::string unit;
};

class CSiLogAxisTicker : public QCPAxisTickerLog {
public:
    explicit CSiLogAxisTicker(std::string unit = {}) : unit(std::move(unit)) {}

protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override;

private:
    std::string unit;
};
