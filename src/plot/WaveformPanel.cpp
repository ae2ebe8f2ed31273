#include "WaveformPanel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "ChartExport.h"
#include "FileDialogs.h"
#include "InteractiveChart.h"
#include "ModalHost.h"
#include "NetlistPlotRequests.h"
#include "SiFormat.h"
#include "TraceReadout.h"

namespace {

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QIcon Swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(1, 5, 12, 4), colour);
    return QIcon(pixmap);
}

}  // namespace

// What a new file of the same run keeps of the view before it.
struct CWaveformPanel::SKeptState {
    std::string typeName;
    std::vector<std::string> vectors;
    // The parts chosen for vectors, by name.
    std::vector<std::pair<std::string, std::vector<VectorPart>>> parts;
    std::optional<QCPRange> scaleRange;
    std::vector<QCPRange> valueRanges;
    std::optional<double> cursorA;
    std::optional<double> cursorB;
    std::vector<double> levels;
};

CWaveformPanel::CWaveformPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar = new QToolBar(this);
    toolBar->addAction(QStringLiteral("Показать все"), this, [this] { FitAll(); })
        ->setToolTip(QStringLiteral("Показать все отсчеты (Home)"));
    toolBar->addAction(QStringLiteral("Сохранить рисунок…"), this, [this] { SavePicture(); });
    toolBar->addAction(QStringLiteral("Сохранить отсчеты…"), this, [this] { SaveSamples(); });
    toolBar->addAction(QStringLiteral("Копировать рисунок"), this, [this] { CopyPicture(); });
    layout->addWidget(toolBar);
    tabs = new QTabBar(this);
    tabs->setExpanding(false);
    tabs->setDocumentMode(true);
    layout->addWidget(tabs);
    notice = new QLabel(this);
    notice->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; padding: 3px; }"));
    notice->setVisible(false);
    layout->addWidget(notice);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    vectorList = new QListWidget(splitter);
    vectorList->setMinimumWidth(120);
    chart = new CInteractiveChart(splitter);
    splitter->addWidget(vectorList);
    splitter->addWidget(chart);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 800});
    layout->addWidget(splitter, 1);
    readout = new QLabel(this);
    readout->setTextFormat(Qt::RichText);
    readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(readout);

    connect(tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (!filling)
            ShowView(index, nullptr);
    });
    connect(vectorList, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { OnVectorChecked(item); });
    vectorList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(vectorList, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ChooseParts(vectorList->itemAt(at), at); });
    connect(chart, &CInteractiveChart::cursorsChanged, this, [this] { UpdateReadout(); });
    UpdateReadout();
}

CWaveformPanel::~CWaveformPanel() = default;

CWaveformPanel::SKeptState CWaveformPanel::KeepState() const {
    SKeptState kept;
    if (currentView < 0 || file == nullptr)
        return kept;
    const std::size_t first = views[currentView].plots.front();
    kept.typeName = descriptions[first].typeName;
    for (std::size_t vector : chart->Vectors()) {
        kept.vectors.push_back(file->plots[first].vectors[vector].name);
        kept.parts.push_back({kept.vectors.back(), chart->PartsOf(vector)});
    }
    kept.scaleRange = chart->ScaleAxis()->range();
    for (QCPAxisRect* pane : chart->Panes())
        kept.valueRanges.push_back(pane->axis(QCPAxis::atLeft)->range());
    kept.cursorA = chart->CursorA();
    kept.cursorB = chart->CursorB();
    kept.levels = chart->Levels();
    return kept;
}

void CWaveformPanel::ShowFile(std::shared_ptr<const SRawFile> newFile,
                              const std::vector<std::string>& netlistLines) {
    ShowFile(PrepareRaw(std::move(newFile)), netlistLines);
}

void CWaveformPanel::ShowFile(std::shared_ptr<SPreparedRaw> newFile,
                              const std::vector<std::string>& netlistLines, bool keepView) {
    const SKeptState kept = KeepState();
    const bool keep = keepView && file != nullptr;
    // The chart lets go of the old plots before they go.
    chart->SetPlots({}, {}, false, false);
    prepared = std::move(newFile);
    file = prepared->file.get();
    netlist = netlistLines;
    descriptions = prepared->descriptions;
    drawables.clear();
    for (const std::unique_ptr<CDrawablePlot>& plot : prepared->plots)
        drawables.push_back(plot.get());
    const std::vector<std::vector<std::size_t>> families = PlotFamilies(*file, descriptions);
    views.clear();
    std::vector<int> familyOf(file->plots.size(), -1);
    for (std::size_t family = 0; family < families.size(); ++family) {
        for (std::size_t member : families[family])
            familyOf[member] = static_cast<int>(family);
    }
    for (std::size_t plot = 0; plot < file->plots.size(); ++plot) {
        if (familyOf[plot] < 0) {
            views.push_back({{plot}, Utf8(descriptions[plot].tabName)});
        } else if (families[familyOf[plot]].front() == plot) {
            const std::vector<std::size_t>& members = families[familyOf[plot]];
            views.push_back({members, Utf8(descriptions[members.front()].typeName + "\xE2\x80\xA6" +
                                           descriptions[members.back()].typeName + " \xC2\xB7 " +
                                           file->plots[plot].name)});
        }
    }
    filling = true;
    while (tabs->count() > 0)
        tabs->removeTab(0);
    int chosen = 0;
    for (std::size_t index = 0; index < views.size(); ++index) {
        tabs->addTab(views[index].name);
        if (keep && descriptions[views[index].plots.front()].typeName == kept.typeName)
            chosen = static_cast<int>(index);
    }
    tabs->setCurrentIndex(chosen);
    filling = false;
    currentView = -1;
    ShowView(views.empty() ? -1 : chosen, keep ? &kept : nullptr);
    notice->setText(FileNotice());
    notice->setVisible(!notice->text().isEmpty());
}

void CWaveformPanel::ShowView(int index, const SKeptState* kept) {
    currentView = index;
    if (index < 0 || index >= static_cast<int>(views.size())) {
        chart->SetPlots({}, {}, false, false);
        vectorList->clear();
        chart->replot();
        UpdateReadout();
        return;
    }
    const SView& view = views[index];
    std::vector<CDrawablePlot*> plots;
    std::vector<QString> runNames;
    for (std::size_t plot : view.plots) {
        plots.push_back(drawables[plot]);
        runNames.push_back(Utf8(descriptions[plot].typeName));
    }
    const std::size_t first = view.plots.front();
    const SPlotDescription& description = descriptions[first];
    chart->SetPlots(plots, runNames, description.logarithmicScale, description.sweepInOrder);
    const SRawPlot& plot = file->plots[first];
    std::vector<std::size_t> shown;
    if (kept != nullptr && kept->typeName == description.typeName) {
        for (const std::string& name : kept->vectors) {
            const std::size_t vector = FindVector(plot, name);
            if (vector < plot.vectors.size())
                shown.push_back(vector);
        }
    }
    if (shown.empty()) {
        auto requests = NetlistPlotRequests(netlist);
        std::vector<std::string> named = requests[description.kind];
        for (const std::string& name : requests[AnalysisKind::Other])
            named.push_back(name);
        shown = InitiallyShownVectors(plot, named);
    }
    chart->SetVectors(shown);
    if (kept != nullptr && kept->typeName == description.typeName) {
        for (const auto& [name, parts] : kept->parts) {
            const std::size_t vector = FindVector(plot, name);
            if (vector < plot.vectors.size() && parts != chart->PartsOf(vector))
                chart->SetParts(vector, parts);
        }
    }
    chart->FitAll();
    if (kept != nullptr && kept->typeName == description.typeName && kept->scaleRange) {
        chart->ScaleAxis()->setRange(*kept->scaleRange);
        const QList<QCPAxisRect*> panes = chart->Panes();
        for (int pane = 0; pane < panes.size() && pane < static_cast<int>(kept->valueRanges.size());
             ++pane)
            panes[pane]->axis(QCPAxis::atLeft)->setRange(kept->valueRanges[pane]);
    }
    chart->ClearMarks();
    if (kept != nullptr && kept->typeName == description.typeName) {
        if (kept->cursorA)
            chart->SetCursor(false, kept->cursorA);
        if (kept->cursorB)
            chart->SetCursor(true, kept->cursorB);
        for (double level : kept->levels)
            chart->AddLevel(level);
    }
    FillVectorList();
    chart->replot();
    UpdateReadout();
}

void CWaveformPanel::FillVectorList() {
    filling = true;
    vectorList->clear();
    if (currentView >= 0) {
        const SRawPlot& plot = file->plots[views[currentView].plots.front()];
        const std::vector<std::size_t>& shown = chart->Vectors();
        for (std::size_t vector = 1; vector < plot.vectors.size(); ++vector) {
            const std::string unit = UnitOfType(plot.vectors[vector].type);
            QString text = Utf8(plot.vectors[vector].name);
            if (!unit.empty())
                text += QStringLiteral("  [") + Utf8(unit) + QLatin1Char(']');
            auto* item = new QListWidgetItem(text, vectorList);
            item->setData(Qt::UserRole, static_cast<qulonglong>(vector));
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            const bool on = std::find(shown.begin(), shown.end(), vector) != shown.end();
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            if (on)
                item->setIcon(Swatch(chart->ColourOf(vector)));
        }
    }
    filling = false;
}

void CWaveformPanel::OnVectorChecked(QListWidgetItem* item) {
    if (filling || currentView < 0)
        return;
    std::vector<std::size_t> shown = chart->Vectors();
    const std::size_t vector = item->data(Qt::UserRole).toULongLong();
    auto found = std::find(shown.begin(), shown.end(), vector);
    if (item->checkState() == Qt::Checked && found == shown.end())
        shown.push_back(vector);
    else if (item->checkState() != Qt::Checked && found != shown.end())
        shown.erase(found);
    chart->SetVectors(shown);
    chart->RefreshMarks();
    FillVectorList();
    chart->replot();
    UpdateReadout();
}

void CWaveformPanel::ShowReading(const QString& path, double share) {
    notice->setText(QStringLiteral("Чтение %1: %2 %")
                        .arg(QFileInfo(path).fileName())
                        .arg(static_cast<int>(share * 100)));
    notice->setVisible(true);
}

QString CWaveformPanel::Notice() const {
    return notice->text();
}

void CWaveformPanel::ChooseParts(QListWidgetItem* item, const QPoint& at) {
    if (item == nullptr || currentView < 0 || chart->Plots().empty() ||
        !chart->Plots()[0]->Plot().complex)
        return;
    const std::size_t vector = item->data(Qt::UserRole).toULongLong();
    struct Choice {
        const char* text;
        std::vector<VectorPart> parts;
    };
    const Choice choices[] = {
        {"Амплитуда (дБ) и фаза", {VectorPart::MagnitudeDb, VectorPart::PhaseDegrees}},
        {"Модуль", {VectorPart::Magnitude}},
        {"Действительная часть", {VectorPart::Real}},
        {"Мнимая часть", {VectorPart::Imaginary}},
        {"Действительная и мнимая части", {VectorPart::Real, VectorPart::Imaginary}},
    };
    QMenu menu(this);
    const std::vector<VectorPart> current = chart->PartsOf(vector);
    for (const Choice& choice : choices) {
        QAction* action = menu.addAction(QString::fromUtf8(choice.text));
        action->setCheckable(true);
        action->setChecked(choice.parts == current);
        const std::vector<VectorPart> parts = choice.parts;
        connect(action, &QAction::triggered, this, [this, vector, parts] {
            std::vector<std::size_t> shown = chart->Vectors();
            if (std::find(shown.begin(), shown.end(), vector) == shown.end()) {
                shown.push_back(vector);
                chart->SetVectors(shown);
            }
            chart->SetParts(vector, parts);
            // Another part has other values: the panes fit them.
            chart->FitAll();
            chart->RefreshMarks();
            FillVectorList();
            chart->replot();
            UpdateReadout();
        });
    }
    ModalHost().RunMenu(menu, vectorList->viewport()->mapToGlobal(at));
}

QString CWaveformPanel::FileNotice() const {
    if (file == nullptr)
        return QString();
    QStringList parts;
    for (std::size_t index = 0; index < file->plots.size(); ++index) {
        const SRawPlot& plot = file->plots[index];
        if (!plot.CutShort())
            continue;
        const QString name = Utf8(descriptions[index].typeName);
        if (plot.declaredPoints > 0)
            parts << QStringLiteral("в %1 есть %2 точек из %3, остальных нет")
                         .arg(name)
                         .arg(plot.points)
                         .arg(plot.declaredPoints);
        else
            parts << QStringLiteral("%1 обрывается после %2 точек: расчет был остановлен")
                         .arg(name)
                         .arg(plot.points);
    }
    if (file->plots.empty())
        return QStringLiteral("В файле нет графиков: ") + Utf8(file->problem);
    if (!file->problem.empty())
        parts << QStringLiteral("дальше файл не прочитан: ") + Utf8(file->problem);
    return parts.isEmpty() ? QString() : QStringLiteral("Файл результатов неполон: ") + parts.join(QStringLiteral("; "));
}

QString CWaveformPanel::Readout() const {
    return readout->text();
}

void CWaveformPanel::UpdateReadout() {
    const std::optional<double> a = chart->CursorA();
    const std::optional<double> b = chart->CursorB();
    if (!a && !b) {
        readout->setText(QStringLiteral(
            "Щелчок ставит курсор A, щелчок правой кнопкой — курсор B; колесо меняет масштаб, "
            "Ctrl+колесо — по вертикали, правая кнопка с протяжкой — увеличить рамку, Home — все."));
        return;
    }
    std::string scaleUnit;
    if (!chart->Plots().empty() && !chart->Plots()[0]->Plot().vectors.empty())
        scaleUnit = UnitOfType(chart->Plots()[0]->Plot().vectors[0].type);
    auto si = [](double value, const std::string& unit) { return Utf8(FormatSi(value, unit, 5)); };
    QString header;
    if (a)
        header += QStringLiteral("<b style='color:#c80000'>A</b> ") + si(*a, scaleUnit);
    if (b)
        header += QStringLiteral("&nbsp;&nbsp; <b style='color:#005ac8'>B</b> ") + si(*b, scaleUnit);
    if (a && b) {
        const double dx = *b - *a;
        header += QStringLiteral("&nbsp;&nbsp; ΔX ") + si(dx, scaleUnit);
        if (dx != 0)
            header += QStringLiteral("&nbsp;&nbsp; 1/ΔX ") +
                      si(1 / std::abs(dx), scaleUnit == "s" ? "Hz" : scaleUnit == "Hz" ? "s" : "");
    }
    QString rows;
    for (const CWaveformChart::STrace& trace : chart->Traces()) {
        CDrawablePlot& plot = *chart->Plots()[trace.plot];
        const SDrawableSeries& series = plot.Series(trace.vector, trace.part);
        const std::size_t count = std::min(series.count, plot.Points());
        const std::string unit = plot.SeriesUnit(trace.vector, trace.part);
        auto at = [&](double x) {
            if (plot.ScaleIsSorted())
                return TraceValueAt(plot.Scale(), series.values, count, x);
            // A sweep that goes back and forth: the value of the sample nearest in x.
            std::size_t nearest = 0;
            for (std::size_t index = 1; index < count; ++index) {
                if (std::abs(plot.Scale()[index] - x) < std::abs(plot.Scale()[nearest] - x))
                    nearest = index;
            }
            return count > 0 ? series.values[nearest] : std::nan("");
        };
        QString row = QStringLiteral("<tr><td style='color:%1'>%2</td>")
                          .arg(trace.plottable->pen().color().name(), trace.plottable->name().toHtmlEscaped());
        row += QStringLiteral("<td>") + (a ? si(at(*a), unit) : QString()) + QStringLiteral("</td>");
        row += QStringLiteral("<td>") + (b ? si(at(*b), unit) : QString()) + QStringLiteral("</td>");
        row += QStringLiteral("<td>") + (a && b ? QStringLiteral("ΔY ") + si(at(*b) - at(*a), unit)
                                                : QString()) +
               QStringLiteral("</td></tr>");
        rows += row;
    }
    readout->setText(header + QStringLiteral("<table cellspacing='6'>") + rows +
                     QStringLiteral("</table>"));
}

void CWaveformPanel::FitAll() {
    chart->FitAll();
    chart->replot();
}

void CWaveformPanel::SavePicture() {
    std::optional<QString> path = AskSaveFileName(
        QStringLiteral("waveform.png"),
        QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg);;Документ PDF (*.pdf)"),
        QStringLiteral(".png"));
    if (!path)
        return;
    QString error;
    if (!ExportChartPicture(*chart, *path, chart->size(), error))
        AfxMessageBox(error);
}

void CWaveformPanel::SaveSamples() {
    std::optional<QString> path = AskSaveFileName(
        QStringLiteral("waveform.csv"), QStringLiteral("Отсчеты CSV (*.csv)"), QStringLiteral(".csv"));
    if (!path)
        return;
    QString error;
    if (!ExportVisibleSamples(*chart, *path, error))
        AfxMessageBox(error);
}

bool CWaveformPanel::Print(QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (ModalHost().RunModal(dialog) != QDialog::Accepted)
        return false;
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        AfxMessageBox(QStringLiteral("Не удается начать печать."));
        return false;
    }
    // The chart keeps its proportions and its look on the screen, scaled to the page.
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    // A chart not laid out yet is printed at the size pictures are saved at.
    const QSize size = chart->width() > 16 && chart->height() > 16 ? chart->size() : QSize(1200, 800);
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.scale(scale, scale);
    chart->toPainter(&painter, size.width(), size.height());
    return painter.end();
}

void CWaveformPanel::CopyPicture() {
    QApplication::clipboard()->setPixmap(chart->toPixmap());
}
