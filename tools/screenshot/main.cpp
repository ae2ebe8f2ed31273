// Saves a picture of the program with two netlists open, the active one split into two panes
// and a few lines selected: kivra-screenshot IMAGE.png FILE1 FILE2.

#include <QApplication>
#include <QTimer>

#include "ChildFrame.h"
#include "CorvelTextView.h"
#include "MainFrame.h"
#include "SampleApp.h"
#include "SplitterWnd.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    if (arguments.size() < 4) {
        qWarning("Usage: kivra-screenshot IMAGE.png FILE1 FILE2");
        return 2;
    }
    CSampleApp kivra({arguments.at(2)});
    if (!kivra.InitInstance())
        return 1;
    if (kivra.OpenDocumentFile(arguments.at(3)) == nullptr)
        return 1;
    CMainFrame* frame = kivra.MainFrame();
    frame->setGeometry(40, 40, 1000, 720);

    CChildFrame* child = frame->ActiveChild();
    CSplitterWnd* splitter = child->Splitter();
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
