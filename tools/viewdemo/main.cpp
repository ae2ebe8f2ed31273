// Shows a netlist in an edit view coloured by the netlist classifier, for trying the views by hand:
// kivra-viewdemo FILE [--read-only] [--grab IMAGE.png] (with --grab it saves a picture and exits).
// Edits stay in memory: saving comes with the document.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "CommandIds.h"
#include "CorvelEditView.h"
#include "CorvelTextBuffer.h"
#include "NetlistColorizer.h"

namespace {

class NetlistDemoView : public CCorvelEditView {
public:
    LineScanState ColorizeLine(LineScanState state, int line, ColorRun* runs,
                               int& runCount) override {
        return ClassifyNetlistLine(state, LineText(line), LineLength(line), runs, runCount);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        QMessageBox::warning(
            nullptr, QStringLiteral("Kivra"),
            QStringLiteral("Usage: kivra-viewdemo FILE [--read-only] [--grab IMAGE.png]"));
        return 2;
    }
    CCorvelTextBuffer buffer;
    QByteArray path = arguments.at(1).toLocal8Bit();
    if (!buffer.LoadFile(path.constData(), LineEndingStyle::Detect)) {
        QMessageBox::warning(nullptr, QStringLiteral("Kivra"),
                             QStringLiteral("Cannot open %1").arg(arguments.at(1)));
        return 1;
    }
    buffer.MakeReadOnly(arguments.contains(QStringLiteral("--read-only")));

    NetlistDemoView view;
    view.setWindowTitle(QStringLiteral("%1 - Kivra").arg(arguments.at(1)));
    view.resize(900, 600);
    view.BindBuffer(&buffer);
    view.show();
    view.setFocus();

    int grab = arguments.indexOf(QStringLiteral("--grab"));
    if (grab > 0 && grab + 1 < arguments.size()) {
        // Marks, a selection and the caret, so that the picture shows them too.
        QApplication::setActiveWindow(&view);
        view.setFocus();
        view.PlaceCursor({0, 4});
        view.ExecuteCommand(ID_TOGGLE_BOOKMARK);
        view.PlaceCursor({0, 7});
        view.ExecuteCommand(ToggleNumberedBookmarkId(1));
        view.StepLineDown(false);
        view.StepLineDown(true);
        view.StepLineDown(true);
        view.StepWordRight(true);
        QTimer::singleShot(300, [&] {
            view.grab().save(arguments.at(grab + 1));
            QApplication::quit();
        });
    }
    int result = QApplication::exec();
    view.UnbindBuffer();
    buffer.Clear();
    return result;
}
