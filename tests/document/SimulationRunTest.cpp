// The fixed parts of a simulation run: the control deck built from a netlist, the preparation of
// its lines, the paths of the two programs, the extension test and the place of the progress
// window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>

#include "SimulationRun.h"

namespace {

using ::testing::ElementsAreArray;

struct DeckCase {
    const char* name;
    std::vector<std::string> netlist;
    // The deck between its two fixed first lines and ".end".
    std::vector<std::string> copied;
    bool unclosed = false;
};

void PrintTo(const DeckCase& c, std::ostream* out) {
    *out << c.name;
}

class ControlDeckTest : public ::testing::TestWithParam<DeckCase> {};

TEST_P(ControlDeckTest, CopiesControlLinesPreparedAndInOrder) {
    const DeckCase& c = GetParam();
    std::vector<std::string_view> lines(c.netlist.begin(), c.netlist.end());
    ControlDeck deck = BuildControlDeck(lines);

    std::vector<std::string> expected = {"temp file for Talvex ", "*#load ..\\Murin\\kivra.raw"};
    expected.insert(expected.end(), c.copied.begin(), c.copied.end());
    expected.push_back(".end");
    EXPECT_THAT(deck.lines, ElementsAreArray(expected));
    EXPECT_EQ(deck.copiedLines, static_cast<int>(c.copied.size()));
    EXPECT_EQ(deck.blockUnclosed, c.unclosed);
}

INSTANTIATE_TEST_SUITE_P(
    Netlists, ControlDeckTest,
    ::testing::Values(
        DeckCase{"NoControlLines", {"RC", "R1 1 0 1k", "* comment", ".tran 1u 1m", ".end"}, {}},
        DeckCase{"EmptyNetlist", {}, {}},
        DeckCase{"StarHashLineTrimmedAndLowered",
                 {"T", "   *#PLOT V(OUT)", "R1 1 0 1k"},
                 {"*#plot v(out)"}},
        DeckCase{"StarHashOnlyAtTheStart", {"T", "* *#plot", "x*#plot"}, {}},
        DeckCase{
            "ControlBlock",
            {"T", "R1 1 0 1k", ".CONTROL", "\tRUN", "PLOT V(OUT)", "  .ENDC", "C1 1 0 1u", ".END"},
            {".control", "run", "plot v(out)", ".endc"}},
        DeckCase{"TwoBlocksInOrder",
                 {"T", ".control", "run", ".endc", "R1 1 0 1k", "*#print v(1)", ".Control",
                  "plot v(1)", ".endc", ".end"},
                 {".control", "run", ".endc", "*#print v(1)", ".control", "plot v(1)", ".endc"}},
        DeckCase{"UnclosedBlockIsClosedByTheDeck",
                 {"T", "*#print v(1)", ".control", "run"},
                 {"*#print v(1)", ".control", "run", ".endc"},
                 true},
        DeckCase{"ControlOnTheLastLine", {"T", ".control"}, {".control", ".endc"}, true},
        DeckCase{"StarHashLineWithControlIsWrittenTwice",
                 {"T", "*# .CONTROL here", "run", ".endc", "R1 1 0 1k"},
                 {"*# .control here", "*# .control here", "run", ".endc"}},
        DeckCase{"ControlAndEndcOnOneLineOpenABlock",
                 {"T", ".control .endc", "run", "plot v(1)", ".endc", "R1 1 0 1k"},
                 {".control .endc", "run", "plot v(1)", ".endc"}},
        DeckCase{"ControlAndEndcMatchAnywhereInTheLine",
                 {"T", "* see .Control below", "R1 1 0 1k", "* the .ENDC", "C1 1 0 1u"},
                 {"* see .control below", "r1 1 0 1k", "* the .endc"}},
        DeckCase{"EndcOutsideABlockIsNotCopied", {"T", ".endc", "R1 1 0 1k"}, {}},
        DeckCase{"CyrillicBytesUnchanged",
                 {"T", "*#echo \xcf\xd0\xc8\xcc\xc5\xd0 ABC", "\t.control", "* \xdf\xff", ".endc"},
                 {"*#echo \xcf\xd0\xc8\xcc\xc5\xd0 abc", ".control", "* \xdf\xff", ".endc"}},
        DeckCase{"LongLineCopiedWhole",
                 {"T", "*#ECHO " + std::string(300, 'X') + " END"},
                 {"*#echo " + std::string(300, 'x') + " end"}}),
    [](const ::testing::TestParamInfo<DeckCase>& info) { return std::string(info.param.name); });

struct PreparationCase {
    std::string line;
    std::string prepared;
};

void PrintTo(const PreparationCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(c.line);
}

class DeckLineTest : public ::testing::TestWithParam<PreparationCase> {};

TEST_P(DeckLineTest, TrimsLeadingBlanksAndTabsAndLowersLatinCapitals) {
    EXPECT_EQ(PrepareDeckLine(GetParam().line), GetParam().prepared);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DeckLineTest,
    ::testing::Values(PreparationCase{"", ""}, PreparationCase{" \t \t", ""},
                      PreparationCase{"\t \tPLOT V(OUT)", "plot v(out)"},
                      PreparationCase{"A  B\tC  ", "a  b\tc  "},
                      // Only blanks and tabs go: other white space stays.
                      PreparationCase{"\r\n X", "\r\n x"},
                      // The letters' neighbours in the code table are not letters.
                      PreparationCase{"@AZ[`az{", "@az[`az{"},
                      PreparationCase{"\xc0\xdf\xe0\xff\xa8", "\xc0\xdf\xe0\xff\xa8"}));

TEST(SimulationPathsTest, EverythingLivesInTheTwoFoldersBesideTheProgram) {
    QTemporaryDir temporary;
    const QString program = temporary.path() + QStringLiteral("/My Kivra");
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/Murin")));
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/Talvex")));
    SimulationPaths paths = SimulationPathsIn(program);
    EXPECT_EQ(paths.firstProgram, program + QStringLiteral("/Murin/Murin1.exe"));
    EXPECT_EQ(paths.firstFolder, program + QStringLiteral("/Murin"));
    EXPECT_EQ(paths.rawFile, program + QStringLiteral("/Murin/kivra.raw"));
    EXPECT_EQ(paths.logFile, program + QStringLiteral("/Murin/kivra.log"));
    EXPECT_EQ(paths.secondFolder, program + QStringLiteral("/Talvex"));
    EXPECT_EQ(paths.deckFile, program + QStringLiteral("/Talvex/temp.cir"));
    EXPECT_EQ(paths.secondProgram, program + QStringLiteral("/Talvex/Talvex.exe"));
}

// An installed program's folder is the system's: the run then works in a folder of the user's
// own with the same two sub-folders, while the programs still come from the program's folder.
TEST(SimulationPathsTest, AFolderTheUserMayNotWriteInSendsTheFilesToTheUsersOwn) {
    EXPECT_EQ(ChooseRunFolder(QStringLiteral("/usr/lib/kivra"), true, QStringLiteral("/home/u/k")),
              QStringLiteral("/usr/lib/kivra"));
    EXPECT_EQ(ChooseRunFolder(QStringLiteral("/usr/lib/kivra"), false, QStringLiteral("/home/u/k")),
              QStringLiteral("/home/u/k"));

    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    // No Murin or Talvex folder to write in, as where the program folder is not the user's.
    SimulationPaths paths = SimulationPathsIn(QStringLiteral("/nonexistent/kivra"));
    qunsetenv("XDG_DATA_HOME");
    const QString user = data.path() + QStringLiteral("/kivra");
    EXPECT_EQ(paths.firstProgram, QStringLiteral("/nonexistent/kivra/Murin/Murin1.exe"));
    EXPECT_EQ(paths.secondProgram, QStringLiteral("/nonexistent/kivra/Talvex/Talvex.exe"));
    EXPECT_EQ(paths.firstFolder, user + QStringLiteral("/Murin"));
    EXPECT_EQ(paths.logFile, user + QStringLiteral("/Murin/kivra.log"));
    EXPECT_EQ(paths.deckFile, user + QStringLiteral("/Talvex/temp.cir"));
    EXPECT_TRUE(QFileInfo(paths.firstFolder).isDir());
    EXPECT_TRUE(QFileInfo(paths.secondFolder).isDir());
}

// The user's run folders are the user's alone, and a folder another running Kivra holds is left
// to it: this one takes the next free one beside it.
TEST(SimulationPathsTest, AFolderAnotherKivraHoldsIsLeftToItAndRunFoldersArePrivate) {
    QTemporaryDir data;
    const QString user = data.path() + QStringLiteral("/kivra");
    ASSERT_TRUE(QDir().mkpath(user));
    // Another process holds the first folder for as long as the test needs.
    QProcess other;
    other.start(QStringLiteral("flock"),
                {user + QStringLiteral("/.kivra-run.lock"), QStringLiteral("sleep"),
                 QStringLiteral("30")});
    ASSERT_TRUE(other.waitForStarted());
    QThread::msleep(300);
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const QString taken = RunFolderFor(QStringLiteral("/nonexistent/kivra"));
    qunsetenv("XDG_DATA_HOME");
    other.kill();
    other.waitForFinished();

    EXPECT_EQ(taken, user + QStringLiteral("/run-2"));
    for (const QString& folder : {user, taken + QStringLiteral("/Murin"),
                                  taken + QStringLiteral("/Talvex")})
        EXPECT_EQ(QFileInfo(folder).permissions() & 0x0777, QFileDevice::Permissions(0x0700))
            << folder.toStdString();
}

// A folder the install rules marked runs nothing in itself, even for a user who may write in it
// (root may, in the installed program's folder); an unmarked one, as a build's, keeps its runs.
TEST(SimulationPathsTest, AnInstalledFolderSendsTheFilesToTheUsersOwnEvenWhenWritable) {
    QTemporaryDir program;
    QTemporaryDir data;
    ASSERT_TRUE(QDir().mkpath(program.path() + QStringLiteral("/Murin")));
    ASSERT_TRUE(QDir().mkpath(program.path() + QStringLiteral("/Talvex")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const QString unmarked = RunFolderFor(program.path());
    QFile marker(program.filePath(QLatin1String(kInstalledFolderMarker)));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    SimulationPaths paths = SimulationPathsIn(program.path());
    qunsetenv("XDG_DATA_HOME");

    EXPECT_EQ(unmarked, program.path());
    const QString user = data.path() + QStringLiteral("/kivra");
    EXPECT_EQ(paths.logFile, user + QStringLiteral("/Murin/kivra.log"));
    EXPECT_EQ(paths.rawFile, user + QStringLiteral("/Murin/kivra.raw"));
    EXPECT_EQ(paths.deckFile, user + QStringLiteral("/Talvex/temp.cir"));
    EXPECT_EQ(paths.firstProgram, program.path() + QStringLiteral("/Murin/Murin1.exe"));
    EXPECT_TRUE(QFileInfo(paths.secondFolder).isDir());
}

struct ExtensionCase {
    const char* path;
    bool netlist;
};

void PrintTo(const ExtensionCase& c, std::ostream* out) {
    *out << '"' << c.path << '"';
}

class NetlistExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(NetlistExtensionTest, IsANetlistsUsualExtensionInAnyCase) {
    EXPECT_EQ(HasNetlistExtension(QString::fromUtf8(GetParam().path)), GetParam().netlist)
        << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NetlistExtensionTest,
    ::testing::Values(ExtensionCase{"/d/name.cir", true}, ExtensionCase{"/d/NAME.CIR", true},
                      ExtensionCase{"/d/схема.Cir", true}, ExtensionCase{"/d/a.b.cir", true},
                      ExtensionCase{"/d/.cir", true}, ExtensionCase{"/d/name.txt", false},
                      ExtensionCase{"/d/name.cir.txt", false}, ExtensionCase{"/d/name.cirx", false},
                      ExtensionCase{"/d/namecir", false}, ExtensionCase{"/d.cir/name", false},
                      ExtensionCase{"/d/amp.sp", true}, ExtensionCase{"/d/AMP.SPI", true},
                      ExtensionCase{"/d/a.Spice", true}, ExtensionCase{"/d/a.net", true},
                      ExtensionCase{"/d/a.CKT", true}, ExtensionCase{"/d/a.spx", false},
                      ExtensionCase{"/d/a.s", false}, ExtensionCase{"/d/a.raw", false},
                      ExtensionCase{"/d/", false}, ExtensionCase{"", false}));

struct PlaceCase {
    int width;
    int height;
    RunWindowPlace place;
};

void PrintTo(const PlaceCase& c, std::ostream* out) {
    *out << c.width << 'x' << c.height;
}

class RunWindowPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(RunWindowPlaceTest, RightEdgeAtTheHorizontalCentreTopAtTheVerticalCentre) {
    const PlaceCase& c = GetParam();
    RunWindowPlace place = RunWindowPlaceOn(c.width, c.height);
    EXPECT_EQ(place.x, c.place.x);
    EXPECT_EQ(place.y, c.place.y);
    EXPECT_EQ(place.width, c.place.width);
    EXPECT_EQ(place.x + place.width, c.width / 2);
}

INSTANTIATE_TEST_SUITE_P(Screens, RunWindowPlaceTest,
                         ::testing::Values(PlaceCase{800, 600, {267, 300, 133}},
                                           PlaceCase{1024, 768, {342, 384, 170}},
                                           PlaceCase{1366, 768, {456, 384, 227}},
                                           PlaceCase{1920, 1080, {640, 540, 320}}));

}  // namespace
