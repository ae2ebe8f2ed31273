#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "NetlistExtensions.h"

// The fixed parts of a simulation run: where the two programs and their files are, what they are
// given, where the progress window stands, and the control deck for the second program.

// The files of a run. The programs are in the program folder; the folders they run in, with the
// result files and the deck, are in the run folder (see RunFolderFor), which is the program
// folder itself unless the user may not write there.
struct SimulationPaths {
    QString firstProgram;   // <program folder>/Murin/Murin1.exe
    QString firstFolder;    // <run folder>/Murin, where the first program runs
    QString rawFile;        // <run folder>/Murin/kivra.raw
    QString logFile;        // <run folder>/Murin/kivra.log
    QString secondFolder;   // <run folder>/Talvex, where the second program runs
    QString deckFile;       // <run folder>/Talvex/temp.cir
    QString secondProgram;  // <program folder>/Talvex/Talvex.exe
};

// The paths of a run of the programs in programFolder; an empty folder means the current one.
// Takes the run folder for this process, making it when needed.
SimulationPaths SimulationPathsIn(const QString& programFolder);
// The same paths, found without making or taking anything: those of the folder this process took,
// else of the folder a first run would take.
SimulationPaths KnownSimulationPaths(const QString& programFolder);

// The folder whose Murin and Talvex sub-folders a run works in. An installed program's folder
// belongs to the system, so a user who may not write in its Murin or Talvex folder gets a folder
// of their own, ~/.local/share/kivra, with the two sub-folders side by side as in the program's,
// so that "..\Murin\kivra.raw" seen from the deck's folder still names the raw file. So does
// every user of a folder marked as installed, root too: the package manager owns that folder
// and would leave a run's files behind when it removes the program. Each running Kivra has a
// folder of its own, which it keeps until it ends, so that two never delete each other's
// results: while one has the folder, another uses ~/.local/share/kivra/run-2 and so on. The
// user's folders are the user's alone (mode 0700).
QString RunFolderFor(const QString& programFolder);
// The file the install rules put in the program's folder to mark it as installed.
inline constexpr char kInstalledFolderMarker[] = "run-in-user-folder";
// The choice itself: the program folder when it is writable, else the user's folder.
QString ChooseRunFolder(const QString& programFolder, bool programFolderWritable,
                        const QString& userFolder);

// The folder whose Murin and Talvex sub-folders a run uses: the program's own folder, unless
// another was set (tests run stand-in programs from a folder of their own).
QString SimulationFolder();
// An empty folder goes back to the program's own.
void SetSimulationFolder(const QString& folder);

// The first program's arguments: "-t", "datanet3" and the netlist, each whole.
QStringList FirstProgramArguments(const QString& netlistPath);
// The second program's arguments: the deck's name, relative to the folder it runs in.
QStringList SecondProgramArguments();

// Where the progress window of the first program stands on a screen of the given size: its right
// edge at the horizontal centre, its top edge at the vertical centre, a sixth of the width wide.
struct RunWindowPlace {
    int x;
    int y;
    int width;
};
RunWindowPlace RunWindowPlaceOn(int screenWidth, int screenHeight);

// A line as the deck gets it: leading blanks and tabs removed, the letters A to Z made lower
// case (other bytes, Cyrillic letters among them, unchanged). The whole line is kept, however long.
std::string PrepareDeckLine(std::string_view line);

// The control deck for the second program: a title, the line that loads the raw file, then the
// netlist's "*#" lines and ".control" ... ".endc" blocks in their order, prepared, then ".end".
struct ControlDeck {
    std::vector<std::string> lines;
    // The lines copied from the netlist, with the ".endc" added for an unclosed block. With none,
    // the second program has nothing to do.
    int copiedLines = 0;
    // The netlist ended inside a control block; the deck closes the block itself.
    bool blockUnclosed = false;
};
ControlDeck BuildControlDeck(const std::vector<std::string_view>& netlistLines);

// The deck as the file holds it: every line ended with CR LF.
std::string ControlDeckText(const ControlDeck& deck);
