// Takes the pictures of the program for the README.
//
//   kivra-screenshot IMAGE.png FILE1 FILE2
//       two netlists open, the active one split into two panes, a few lines selected;
//       drawn offscreen, no display needed.
//   kivra-screenshot --run PROGRESS.png RESULTS.png NETLIST
//       F9 on the netlist: the screen while the first program runs, and after the run with the
//       result windows and ngspice's plot. Needs a display (Xvfb will do) and ngspice.

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "ChildFrame.h"
#include "CommandIds.h"
#include "CorvelTextView.h"
#include "MainFrame.h"
#include "RunProgressWindow.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SimulationRun.h"
#include "SplitterWnd.h"

namespace {

int SplitPanes(const QStringList& arguments) {
    CSampleApp kivra({arguments.at(2)});
    if (!kivra.InitInstance())
        return 1;
    if (kivra.OpenDocumentFile(arguments.at(3)) == nullptr)
        return 1;
    CMainFrame* frame = kivra.MainFrame();
    frame->setGeometry(40, 40, 1000, 720);

    CSplitterWnd* splitter = frame->ActiveChild()->Splitter();
    QTimer::singleShot(200, [&] {
        splitter->SplitRow(splitter->height() / 2 - 40);
        CCorvelTextView* top = splitter->Pane(0, 0);
        CCorvelTextView* bottom = splitter->Pane(1, 0);
        // Lines 14 to 16 selected, the caret after "C1 n1".
        top->SetAnchorPoint({0, 13});
        top->PlaceCursor({5, 15});
        top->SelectRange({0, 13}, {5, 15});
        bottom->ScrollToTopLine(24, true);
        top->setFocus();
    });
    QTimer::singleShot(700, [&] {
        frame->UpdateCommandUI();
        frame->grab().save(arguments.at(1));
        QApplication::quit();
    });
    return QApplication::exec();
}

void GrabScreen(const QString& file) {
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
}

int RunAnalysis(QApplication& application, const QStringList& arguments) {
    // The two programs stand beside kivra, not beside this tool.
    SetSimulationFolder(QStringLiteral(KIVRA_PROGRAM_FOLDER));
    CSampleApp kivra({arguments.at(4)});
    if (!kivra.InitInstance())
        return 1;
    kivra.MainFrame()->setGeometry(0, 0, 1000, 700);
    QTimer::singleShot(500, [&] {
        // The progress window shows while the run waits; take it once it has some output.
        auto* watch = new QTimer(&application);
        QObject::connect(watch, &QTimer::timeout, [&arguments, watch] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<CRunProgressWindow*>(window);
                if (progress != nullptr && progress->isVisible() &&
                    progress->Output().count(QLatin1Char('\n')) >= 8) {
                    GrabScreen(arguments.at(2));
                    watch->stop();
                }
            }
        });
        watch->start(50);
        kivra.MainFrame()->OnCommand(ID_ANALYSIS_START);
        QTimer::singleShot(6000, [&] {
            GrabScreen(arguments.at(3));
            QApplication::quit();
        });
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    if (arguments.size() == 5 && arguments.at(1) == QLatin1String("--run"))
        return RunAnalysis(application, arguments);
    if (arguments.size() == 4)
        return SplitPanes(arguments);
    qWarning(
        "Usage: kivra-screenshot IMAGE.png FILE1 FILE2\n"
        "       kivra-screenshot --run PROGRESS.png RESULTS.png NETLIST");
    return 2;
}
