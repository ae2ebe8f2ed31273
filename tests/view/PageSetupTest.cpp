// The page setup command: the dialog shows the stored margins, OK stores them and Cancel does not,
// and the printed page does not follow them.

#include <QDoubleSpinBox>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <array>
#include <functional>

#include "CommandIds.h"
#include "PageSetupDlg.h"
#include "PrintInfo.h"
#include "ScriptedModalHost.h"
#include "SettingsStore.h"
#include "ViewPaintSupport.h"

namespace {

const QString kSection = QStringLiteral("CorvelEdit/PageSetup");
const char* const kKeys[] = {"LeftMargin", "TopMargin", "RightMargin", "BottomMargin"};

// Left, top, right, bottom in hundredths of a millimetre; -1 where nothing is stored.
using Margins = std::array<int, 4>;

Margins Stored() {
    CSettingsStore settings;
    settings.beginGroup(kSection);
    Margins margins{};
    for (int index = 0; index < 4; ++index) {
        QVariant value = settings.value(QLatin1String(kKeys[index]));
        margins[index] = value.isValid() ? value.toInt() : -1;
    }
    return margins;
}

void Store(const Margins& margins) {
    CSettingsStore settings;
    settings.beginGroup(kSection);
    for (int index = 0; index < 4; ++index)
        settings.setValue(QLatin1String(kKeys[index]), margins[index]);
}

// The fields in the order of the stored keys.
std::array<QDoubleSpinBox*, 4> Fields(CPageSetupDlg& dialog) {
    return {dialog.LeftEdit(), dialog.TopEdit(), dialog.RightEdit(), dialog.BottomEdit()};
}

class PageSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSettingsStore().remove(kSection);
        view.resize(400, 300);
        view.show();
    }

    // Runs the command with the dialog handled by the script; the millimetres it showed.
    std::array<double, 4> RunPageSetup(std::function<int(CPageSetupDlg&)> answer) {
        std::array<double, 4> shown{};
        modal.Then([&](QDialog& dialog) {
            auto* setup = qobject_cast<CPageSetupDlg*>(&dialog);
            EXPECT_NE(setup, nullptr);
            if (setup == nullptr)
                return int(QDialog::Rejected);
            for (int index = 0; index < 4; ++index)
                shown[index] = Fields(*setup)[index]->value();
            return answer(*setup);
        });
        EXPECT_TRUE(view.RouteCommand(ID_FILE_PAGE_SETUP));
        EXPECT_EQ(modal.lastDialogTitle, QStringLiteral("Параметры страницы"));
        return shown;
    }

    // Types the millimetres into the fields and presses the button.
    static std::function<int(CPageSetupDlg&)> Enter(std::array<double, 4> millimetres,
                                                    bool confirm) {
        return [millimetres, confirm](CPageSetupDlg& dialog) {
            for (int index = 0; index < 4; ++index)
                Fields(dialog)[index]->setValue(millimetres[index]);
            if (confirm)
                dialog.accept();
            else
                dialog.reject();
            return dialog.result();
        };
    }

    CCorvelTextBuffer buffer;
    viewtest::CProbeView view;
    kivra_test::ScriptedModalHost modal;
};

TEST_F(PageSetupTest, OkStoresTheMarginsCancelStoresNothingTheNextOpeningShowsThem) {
    std::array<double, 4> shown = RunPageSetup(Enter({5.0, 6.0, 7.0, 8.0}, false));
    EXPECT_EQ(shown, (std::array<double, 4>{10.0, 10.0, 10.0, 10.0}));
    EXPECT_EQ(Stored(), (Margins{-1, -1, -1, -1}));

    RunPageSetup(Enter({12.34, 0.0, 25.4, 150.0}, true));
    EXPECT_EQ(Stored(), (Margins{1234, 0, 2540, 15000}));

    shown = RunPageSetup(Enter({1.0, 1.0, 1.0, 1.0}, false));
    EXPECT_EQ(shown, (std::array<double, 4>{12.34, 0.0, 25.4, 150.0}));
    EXPECT_EQ(Stored(), (Margins{1234, 0, 2540, 15000}));

    // Each value in its own field, whoever wrote it.
    Store({100, 200, 300, 400});
    shown = RunPageSetup(Enter({0.0, 0.0, 0.0, 0.0}, false));
    EXPECT_EQ(shown, (std::array<double, 4>{1.0, 2.0, 3.0, 4.0}));
}

TEST_F(PageSetupTest, ThePrintedPageDoesNotFollowTheMargins) {
    viewtest::FillBuffer(buffer, viewtest::NumberedLines(40));
    view.BindBuffer(&buffer);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto layoutOfPage = [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("page.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A5));
        CPrintInfo info;
        EXPECT_TRUE(view.PrintTo(printer, info));
        return std::make_pair(view.PageRect(), view.TextRect());
    };
    auto before = layoutOfPage();
    RunPageSetup(Enter({40.0, 40.0, 40.0, 40.0}, true));
    ASSERT_EQ(Stored(), (Margins{4000, 4000, 4000, 4000}));
    EXPECT_EQ(layoutOfPage(), before);
}

}  // namespace
