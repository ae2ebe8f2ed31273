// The command line read as a table: files, help, version, unknown options and the end of options.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <ostream>

#include "CommandLine.h"
#include "QStringPrinting.h"

namespace {

using Action = CommandLine::Action;

struct Case {
    QStringList arguments;
    Action action;
    QStringList files;  // for a run
    QString wrong;      // for an error: the argument it names
};

void PrintTo(const Case& line, std::ostream* out) {
    *out << "kivra " << line.arguments.join(QLatin1Char(' ')).toStdString();
}

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, IsReadAsExpected) {
    const Case& expected = GetParam();
    CommandLine line = ParseCommandLine(expected.arguments);
    EXPECT_EQ(line.action, expected.action);
    if (expected.action == Action::Run) {
        EXPECT_EQ(line.files, expected.files);
    }
    if (expected.action == Action::Error) {
        EXPECT_TRUE(line.error.contains(QStringLiteral("«") + expected.wrong + QStringLiteral("»")))
            << line.error.toStdString();
    } else {
        EXPECT_TRUE(line.error.isEmpty());
    }
}

const QString a = QStringLiteral("a.cir");
const QString b = QStringLiteral("/tmp/b c.cir");
const QString russian = QStringLiteral("схема.cir");

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        // Files open in their order; none at all is a plain start.
        Case{{}, Action::Run, {}, {}},
        Case{{a}, Action::Run, {a}, {}},
        Case{{a, b, russian}, Action::Run, {a, b, russian}, {}},
        // Help and version, wherever they stand; the first option decides.
        Case{{QStringLiteral("--help")}, Action::Help, {}, {}},
        Case{{a, QStringLiteral("--help")}, Action::Help, {}, {}},
        Case{{QStringLiteral("--version")}, Action::Version, {}, {}},
        Case{{QStringLiteral("--version"), QStringLiteral("--help")}, Action::Version, {}, {}},
        Case{{QStringLiteral("--help"), QStringLiteral("-p")}, Action::Help, {}, {}},
        // Anything else beginning with "-" is wrong, also when files come with it.
        Case{{QStringLiteral("-p"), QStringLiteral("x")}, Action::Error, {}, QStringLiteral("-p")},
        Case{{a, QStringLiteral("--bogus")}, Action::Error, {}, QStringLiteral("--bogus")},
        Case{{QStringLiteral("-")}, Action::Error, {}, QStringLiteral("-")},
        Case{{QStringLiteral("--help=all")}, Action::Error, {}, QStringLiteral("--help=all")},
        Case{{QStringLiteral("-x"), QStringLiteral("--help")}, Action::Error, {},
             QStringLiteral("-x")},
        // After "--" every argument is a file, options and a second "--" too.
        Case{{QStringLiteral("--"), QStringLiteral("-p.cir")}, Action::Run,
             {QStringLiteral("-p.cir")}, {}},
        Case{{a, QStringLiteral("--"), QStringLiteral("--help"), QStringLiteral("--"), b},
             Action::Run, {a, QStringLiteral("--help"), QStringLiteral("--"), b}, {}},
        Case{{QStringLiteral("--")}, Action::Run, {}, {}},
        // Before "--" an option still counts.
        Case{{QStringLiteral("--version"), QStringLiteral("--"), a}, Action::Version, {}, {}}));
// clang-format on

}  // namespace

// Every argument after --check is a netlist to check, one beginning with "-" too; none is wrong.
TEST(CommandLineCheck, TakesEveryArgumentAfterItAsANetlist) {
    CommandLine line = ParseCommandLine({a, QStringLiteral("--check"), b, QStringLiteral("--help")});
    EXPECT_EQ(line.action, Action::Check);
    EXPECT_EQ(line.files, QStringList({b, QStringLiteral("--help")}));
    line = ParseCommandLine({QStringLiteral("--check")});
    EXPECT_EQ(line.action, Action::Error);
    EXPECT_TRUE(line.error.contains(QStringLiteral("--check"))) << line.error.toStdString();
}

TEST(CommandLineExportPlot, TakesTheFilesAndItsOptions) {
    CommandLine line = ParseCommandLine(
        {QStringLiteral("--export-plot"), QStringLiteral("run.raw"), QStringLiteral("out.svg"),
         QStringLiteral("--size"), QStringLiteral("800x600"), QStringLiteral("--plot"),
         QStringLiteral("2"), QStringLiteral("--vectors"), QStringLiteral("v(out),v(in)")});
    EXPECT_EQ(line.action, Action::ExportPlot);
    EXPECT_EQ(line.rawFile, QStringLiteral("run.raw"));
    EXPECT_EQ(line.picture, QStringLiteral("out.svg"));
    EXPECT_EQ(line.plot, 2);
    EXPECT_EQ(line.vectors, QStringList({QStringLiteral("v(out)"), QStringLiteral("v(in)")}));
    EXPECT_EQ(line.width, 800);
    EXPECT_EQ(line.height, 600);
    // What is wrong names itself; a picture without the raw file is no export.
    struct Wrong {
        QStringList arguments;
        const char* says;
    };
    const Wrong wrong[] = {
        {{QStringLiteral("--export-plot"), QStringLiteral("run.raw")}, "ждет файл результатов"},
        {{QStringLiteral("--export-plot"), QStringLiteral("a.raw"), QStringLiteral("b.png"),
          QStringLiteral("--plot"), QStringLiteral("0")},
         "«0»"},
        {{QStringLiteral("--export-plot"), QStringLiteral("a.raw"), QStringLiteral("b.png"),
          QStringLiteral("--size"), QStringLiteral("800")},
         "«800»"},
        {{QStringLiteral("--export-plot"), QStringLiteral("a.raw"), QStringLiteral("b.png"),
          QStringLiteral("--colour")},
         "«--colour»"},
        {{QStringLiteral("--export-plot"), QStringLiteral("a.raw"), QStringLiteral("b.png"),
          QStringLiteral("--bogus"), QStringLiteral("x")},
         "«--bogus»"},
    };
    for (const Wrong& test : wrong) {
        CommandLine parsed = ParseCommandLine(test.arguments);
        EXPECT_EQ(parsed.action, Action::Error) << test.says;
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(test.says))) << parsed.error.toStdString();
    }
}
