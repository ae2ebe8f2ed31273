#include "ExportPlotCommand.h"

#include <QFile>
#include <algorithm>
#include <memory>

#include "ChartExport.h"
#include "DrawablePlot.h"
#include "PlotDescription.h"
#include "RawFileReader.h"
#include "WaveformChart.h"

int RunExportPlot(const SExportPlotRequest& request, QString& error) {
    SRawFile file;
    std::string reason;
    if (!CRawFileReader::ReadFile(QFile::encodeName(request.rawFile).toStdString(), file, reason)) {
        error = QString::fromStdString(reason);
        return 1;
    }
    const std::vector<SPlotDescription> descriptions = DescribePlots(file);
    const int count = static_cast<int>(file.plots.size());
    if (request.plot < 1 || request.plot > count) {
        error = QStringLiteral("в файле %1 нет графика %2: графиков в нем %3")
                    .arg(request.rawFile)
                    .arg(request.plot)
                    .arg(count);
        return 1;
    }
    const std::size_t chosen = static_cast<std::size_t>(request.plot - 1);
    std::vector<std::size_t> members{chosen};
    for (const std::vector<std::size_t>& family : PlotFamilies(file, descriptions)) {
        if (std::find(family.begin(), family.end(), chosen) != family.end())
            members = family;
    }
    std::vector<std::unique_ptr<CDrawablePlot>> drawables;
    std::vector<CDrawablePlot*> plots;
    std::vector<QString> runNames;
    for (std::size_t member : members) {
        drawables.push_back(std::make_unique<CDrawablePlot>(file.plots[member]));
        plots.push_back(drawables.back().get());
        runNames.push_back(QString::fromStdString(descriptions[member].typeName));
    }
    const SRawPlot& plot = file.plots[chosen];
    std::vector<std::string> named;
    for (const QString& name : request.vectors)
        named.push_back(name.trimmed().toStdString());
    // Every vector asked for must be there: a report missing a curve would pass unnoticed.
    for (const std::string& name : named) {
        if (FindVector(plot, name) == plot.vectors.size()) {
            error = QStringLiteral("в графике %1 нет вектора «%2»")
                        .arg(QString::fromStdString(descriptions[chosen].typeName),
                             QString::fromStdString(name));
            return 1;
        }
    }
    const std::vector<std::size_t> shown = InitiallyShownVectors(plot, named);
    if (request.size.width() < 16 || request.size.height() < 16 ||
        request.size.width() > 20000 || request.size.height() > 20000) {
        error = QStringLiteral("размер рисунка %1x%2 вне пределов 16…20000")
                    .arg(request.size.width())
                    .arg(request.size.height());
        return 1;
    }
    CWaveformChart chart;
    chart.resize(request.size);
    chart.SetPlots(plots, runNames, descriptions[chosen].logarithmicScale,
                   descriptions[chosen].sweepInOrder);
    chart.SetVectors(shown);
    chart.FitAll();
    return ExportChartPicture(chart, request.output, request.size, error) ? 0 : 1;
}
