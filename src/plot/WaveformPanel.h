#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DrawablePlot.h"
#include "PlotDescription.h"
#include "PreparedRaw.h"
#include "RawFile.h"

class CInteractiveChart;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPoint;
class QPrinter;
class QTabBar;
class QToolBar;

// The waveform window's contents: a tab per plot of the raw file (a family of runs shares one),
// the list of the plot's vectors with check boxes and colours, the chart, and the readout of the
// cursors. Shown again with a new file of the same run, it keeps the tab, the vectors, the zoom
// and the cursors wherever they still exist.
class CWaveformPanel : public QWidget {
    Q_OBJECT

public:
    explicit CWaveformPanel(QWidget* parent = nullptr);
    ~CWaveformPanel() override;

    // Shows the plots of a raw file that has been read. netlistLines, when known, are the lines of
    // the netlist the run was made of: its .plot lines and plot commands choose the vectors shown
    // first.
    void ShowFile(std::shared_ptr<const SRawFile> file, const std::vector<std::string>& netlistLines);
    // The same for a file made ready to draw elsewhere: nothing is left to compute but the view.
    // keepView: the tab, vectors, zoom and cursors stay where they still exist (a new file of
    // the same run); otherwise the file shows as it does at first.
    void ShowFile(std::shared_ptr<SPreparedRaw> prepared,
                  const std::vector<std::string>& netlistLines, bool keepView = true);
    bool HasFile() const { return file != nullptr; }
    // A file being read in the background: how far, from 0 to 1. What was shown stays until the
    // new file is whole.
    void ShowReading(const QString& path, double share);

    CInteractiveChart* Chart() const { return chart; }
    QTabBar* Tabs() const { return tabs; }
    QListWidget* VectorList() const { return vectorList; }
    // The line above the chart: how far a reading has come, or what the panel says of a file cut
    // short or read in part; empty for a whole file.
    QString Notice() const;
    // The readout of the cursors, as shown.
    QString Readout() const;

    // The commands of the panel's toolbar, for its tests and the window's menus.
    void FitAll();
    void SavePicture();
    void SaveSamples();
    void CopyPicture();
    // Asks the print dialog for the printer's settings, then prints the chart on one page, as
    // large as it fits; false when the user cancelled.
    bool Print(QPrinter& printer);

private:
    struct SView {
        std::vector<std::size_t> plots;  // one plot, or the members of a family
        QString name;
    };
    struct SKeptState;

    void ShowView(int index, const SKeptState* kept);
    void FillVectorList();
    void OnVectorChecked(QListWidgetItem* item);
    // The parts of a complex vector drawn: dB and phase, magnitude, real or imaginary part.
    void ChooseParts(QListWidgetItem* item, const QPoint& at);
    void UpdateReadout();
    SKeptState KeepState() const;
    QString FileNotice() const;

    std::shared_ptr<SPreparedRaw> prepared;
    // Of the prepared file, for short.
    const SRawFile* file = nullptr;
    std::vector<CDrawablePlot*> drawables;
    std::vector<SPlotDescription> descriptions;
    std::vector<SView> views;
    std::vector<std::string> netlist;
    int currentView = -1;
    bool filling = false;

    QToolBar* toolBar = nullptr;
    QTabBar* tabs = nullptr;
    QListWidget* vectorList = nullptr;
    CInteractiveChart* chart = nullptr;
    QLabel* readout = nullptr;
    QLabel* notice = nullptr;
};
