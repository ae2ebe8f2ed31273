#include "ChartExport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSvgGenerator>

#include "WaveformChart.h"

namespace {

QString CannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("не удается записать %1: %2").arg(path, why);
}

}  // namespace

bool ExportChartPicture(CWaveformChart& chart, const QString& path, QSize size, QString& error) {
    const QString ending = QFileInfo(path).suffix().toLower();
    const int width = size.width();
    const int height = size.height();
    bool written = false;
    if (ending == QLatin1String("png")) {
        written = chart.savePng(path, width, height);
    } else if (ending == QLatin1String("pdf")) {
        written = chart.savePdf(path, width, height);
    } else if (ending == QLatin1String("svg")) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setTitle(QStringLiteral("Kivra"));
        QCPPainter painter;
        if (painter.begin(&generator)) {
            chart.toPainter(&painter, width, height);
            written = painter.end();
        }
        written = written && QFileInfo(path).size() > 0;
    } else {
        error = QStringLiteral("неизвестный вид рисунка «%1»: нужен .png, .svg или .pdf")
                    .arg(QFileInfo(path).fileName());
        return false;
    }
    if (!written)
        error = CannotWrite(path, QStringLiteral("ошибка записи"));
    return written;
}

bool ExportVisibleSamples(const CWaveformChart& chart, const QString& path, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        error = CannotWrite(path, file.errorString());
        return false;
    }
    file.write(chart.VisibleSamplesCsv().toUtf8());
    if (!file.commit()) {
        error = CannotWrite(path, file.errorString());
        return false;
    }
    return true;
}
