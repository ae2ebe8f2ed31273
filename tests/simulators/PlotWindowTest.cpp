// The second program with a display: on an X server of the test's own (Xvfb) with a window
// manager (openbox), which puts every window in a frame of its own as desktops do, ngspice's plot
// window of the RC example draws its curves, and closing it ends ngspice and its terminal. The
// screen is read back through Qt's X11 platform.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "EventLoop.h"
#include "SimulationRun.h"
#include "SimulatorTestSupport.h"

#ifndef KIVRA_SIMULATORS_DIR
#error "KIVRA_SIMULATORS_DIR must name the folder of the simulator scripts"
#endif

namespace {

namespace fs = std::filesystem;

using kivra_test::Lines;
using kivra_test::Quoted;
using kivra_test::ReadBytes;
using kivra_test::ReadBytesOrEmpty;
using kivra_test::WaitFor;
using kivra_test::WriteBytes;

pid_t serverProcess = 0;
pid_t managerProcess = 0;

bool Has(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The conditions ask the X server or start programs: looked at five times a second.
constexpr int kPollMilliseconds = 200;

// Starts Xvfb on a display it chooses itself and names on a pipe (-displayfd), so that test
// processes started side by side never share one; returns the display name, empty on failure.
std::string StartServer() {
    if (!Has("Xvfb"))
        return {};
    int named[2];
    if (pipe(named) != 0)
        return {};
    pid_t child = fork();
    if (child == 0) {
        close(named[0]);
        std::string descriptor = std::to_string(named[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "1024x768x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(named[1]);
    // The number comes once the server is ready, followed by a line break.
    std::string number;
    char byte = 0;
    while (read(named[0], &byte, 1) == 1 && byte != '\n')
        number += byte;
    close(named[0]);
    int status = 0;
    if (number.empty() || waitpid(child, &status, WNOHANG) != 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return {};
    }
    serverProcess = child;
    return ":" + number;
}

// Starts openbox on the display and waits until it manages windows; false when there is none.
bool StartWindowManager() {
    if (!Has("openbox"))
        return false;
    pid_t child = fork();
    if (child == 0) {
        execlp("openbox", "openbox", static_cast<char*>(nullptr));
        _exit(127);
    }
    managerProcess = child;
    return WaitFor(
        [] {
            return std::system(
                       "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | "
                       "grep -q 'window id'") == 0;
        },
        10000, kPollMilliseconds);
}

// Whether some window of the tree, frames' children included, is of the class.
bool WindowOfClass(const std::string& pattern) {
    return std::system(("xwininfo -root -tree | grep -qi '(\"" + pattern + "\" '").c_str()) == 0;
}

// Pixels of strong colour: a channel far from the others. The plot's curves are red, blue and
// the like on black; grid, text and background are grey.
int ColouredPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb pixel = image.pixel(x, y);
            int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            count += high - low > 120 ? 1 : 0;
        }
    }
    return count;
}

class PlotWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (serverProcess == 0)
            GTEST_SKIP() << "no X server for the test (Debian package xvfb)";
        for (const char* program : {"ngspice", "xterm", "xwininfo"}) {
            if (!Has(program))
                GTEST_SKIP() << program << " is not installed";
        }
        char pattern[] = "/tmp/kivra-plots-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "Murin");
        fs::create_directories(root / "Talvex");
    }
    void TearDown() override {
        if (root.empty())
            return;
        // Nothing of this test's is left running, whatever happened.
        std::system(("pkill -f " + Quoted((root / "Talvex").string()) + " 2>/dev/null").c_str());
        fs::remove_all(root);
    }

    // The run as Kivra makes it: the first program, the deck, the second program.
    void Run(const fs::path& netlist) {
        std::system(("cd " + Quoted((root / "Murin").string()) + " && " +
                     Quoted(KIVRA_SIMULATORS_DIR "/Murin/Murin1.exe") + " -t datanet3 " +
                     Quoted(netlist.string()) + " >/dev/null 2>&1")
                        .c_str());
        std::string text = ReadBytesOrEmpty(netlist);
        WriteBytes(root / "Talvex" / "temp.cir", ControlDeckText(BuildControlDeck(Lines(text))));
        ASSERT_EQ(std::system(("cd " + Quoted((root / "Talvex").string()) + " && " +
                               Quoted(KIVRA_SIMULATORS_DIR "/Talvex/Talvex.exe") + " temp.cir")
                                  .c_str()),
                  0);
    }

    // The ngspice processes that run in this test's folder.
    int SpiceProcesses() const {
        int count = 0;
        std::error_code error;
        const fs::path folder = fs::canonical(root, error);
        for (const auto& entry : fs::directory_iterator("/proc")) {
            // A process may end between the listing and the reading: it is not ngspice then.
            std::string name;
            try {
                name = ReadBytes(entry.path() / "comm");
            } catch (const std::exception&) {
                continue;
            }
            if (name != "ngspice\n")
                continue;
            if (fs::read_symlink(entry.path() / "cwd", error) == folder && !error)
                ++count;
        }
        return count;
    }
    bool SpiceRunning() const { return SpiceProcesses() > 0; }

    // The terminal windows on the display.
    static int Terminals() {
        FILE* list = popen("xwininfo -root -tree | grep -ci '(\"[a-z]*term\" '", "r");
        int count = 0;
        if (list != nullptr) {
            if (fscanf(list, "%d", &count) != 1)
                count = 0;
            pclose(list);
        }
        return count;
    }

    fs::path root;
};

TEST_F(PlotWindowTest, PlotWindowDrawsTheCurvesAndClosingItEndsNgspice) {
    fs::path netlist = root / "rc lowpass.cir";
    fs::copy_file(KIVRA_EXAMPLES_DIR "/rc_lowpass.cir", netlist);
    Run(netlist);

    int coloured = 0;
    bool drawn = WaitFor(
        [&] {
            QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            coloured = ColouredPixels(screen);
            return coloured > 300;
        },
        20000, kPollMilliseconds);
    EXPECT_TRUE(drawn) << "coloured pixels: " << coloured;
    EXPECT_TRUE(SpiceRunning());

    // The plot window's own Quit button, at the top of its button column, pressed no sooner than
    // a person would.
    QThread::msleep(1500);
    ASSERT_TRUE(WindowOfClass("ngspice"));
    if (!Has("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    std::system(
        "for w in $(xdotool search --classname ngspice); do "
        "xdotool mousemove --window $w 630 17 click 1; done");
    EXPECT_TRUE(WaitFor([&] { return !SpiceRunning(); }, 10000, kPollMilliseconds))
        << "ngspice outlives its plot window";
    EXPECT_TRUE(WaitFor([] { return Terminals() == 0; }, 5000, kPollMilliseconds))
        << "the terminal stays";
}

// The terminal goes the way a desktop's "kill window" takes it: its connection to the display is
// closed, the terminal ends and hangs up on ngspice, whose plot windows go with it.
TEST_F(PlotWindowTest, ClosingTheTerminalEndsNgspiceAndItsPlotWindows) {
    if (!Has("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    fs::path netlist = root / "rc.cir";
    fs::copy_file(KIVRA_EXAMPLES_DIR "/rc_lowpass.cir", netlist);
    Run(netlist);
    ASSERT_TRUE(WaitFor([] { return WindowOfClass("ngspice"); }, 20000, kPollMilliseconds));
    ASSERT_TRUE(SpiceRunning());

    std::system(
        "for w in $(xwininfo -root -tree | grep -i '(\"[a-z]*term\" ' | "
        "awk '{print $1}'); do xdotool windowkill $w; done");

    EXPECT_TRUE(WaitFor([&] { return !SpiceRunning(); }, 10000, kPollMilliseconds))
        << "ngspice outlives its terminal";
    EXPECT_TRUE(WaitFor([] { return !WindowOfClass("ngspice"); }, 5000, kPollMilliseconds));
}

// A new run of the netlist first ends the run before it: one terminal, one ngspice.
TEST_F(PlotWindowTest, ANewRunEndsThePreviousOne) {
    fs::path netlist = root / "rc.cir";
    fs::copy_file(KIVRA_EXAMPLES_DIR "/rc_lowpass.cir", netlist);
    Run(netlist);
    ASSERT_TRUE(WaitFor([] { return WindowOfClass("ngspice"); }, 20000, kPollMilliseconds));
    Run(netlist);
    ASSERT_TRUE(WaitFor([] { return WindowOfClass("ngspice"); }, 20000, kPollMilliseconds));
    QThread::msleep(1000);

    EXPECT_EQ(Terminals(), 1);
    EXPECT_EQ(SpiceProcesses(), 1);
}

// A block that ends with "quit" ends ngspice, as ngspice does, but the terminal stays for the
// user to read what the block printed.
TEST_F(PlotWindowTest, QuitInTheBlockLeavesTheTerminalOpen) {
    fs::path netlist = root / "quits.cir";
    WriteBytes(netlist,
               "quits\nV1 in 0 1\nR1 in 0 1k\n.control\nop\necho Marker Of The Block\n"
               "quit\n.endc\n.end\n");
    Run(netlist);
    ASSERT_TRUE(WaitFor([] { return Terminals() == 1; }, 10000, kPollMilliseconds));
    EXPECT_TRUE(WaitFor([&] { return !SpiceRunning(); }, 10000, kPollMilliseconds));
    QThread::msleep(1000);
    EXPECT_EQ(Terminals(), 1) << "the terminal closed before the user could read it";
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no server.
    std::string display = GTEST_FLAG_GET(list_tests) ? std::string() : StartServer();
    if (display.empty())
        return RUN_ALL_TESTS();
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    StartWindowManager();
    int result = 0;
    {
        QGuiApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    int status = 0;
    if (managerProcess != 0) {
        kill(managerProcess, SIGTERM);
        waitpid(managerProcess, &status, 0);
    }
    kill(serverProcess, SIGTERM);
    waitpid(serverProcess, &status, 0);
    return result;
}
