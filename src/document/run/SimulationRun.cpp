#include "SimulationRun.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <map>

#include "FolderLock.h"
#include "ProgramDirectory.h"

namespace {

QString& ChosenFolder() {
    static QString folder;
    return folder;
}

constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Makes the folder, its parents and its two program sub-folders where missing; the run's own
// folders are the user's alone.
void MakeRunFolders(const QString& folder) {
    for (const char* name : {"Murin", "Talvex"}) {
        const QString sub = folder + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(sub);
        QFile::setPermissions(sub, kPrivateFolder);
    }
}

// The program's own folder takes the runs unless it is an installed one or its program
// sub-folders may not be written.
bool ProgramFolderWritable(const QDir& programs) {
    bool writable = !QFileInfo::exists(programs.filePath(QLatin1String(kInstalledFolderMarker)));
    for (const char* name : {"Murin", "Talvex"}) {
        QFileInfo folder(programs.filePath(QString::fromLatin1(name)));
        writable = writable && folder.isDir() && folder.isWritable();
    }
    return writable;
}

// ~/.local/share/kivra; empty when the system names no data folder.
QString UserRunFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/kivra");
}

// Takes the folder for this process, which keeps it until it ends. A folder another running
// Kivra has taken is refused: its results are that run's.
bool TakeRunFolder(const QString& folder) {
    return HoldLockFile(folder + QStringLiteral("/.kivra-run.lock"));
}

// The run folders this process has taken, by program folder.
std::map<QString, QString>& TakenFolders() {
    static std::map<QString, QString> taken;
    return taken;
}

SimulationPaths PathsWith(const QDir& programs, const QDir& work) {
    SimulationPaths paths;
    paths.firstProgram = programs.filePath(QStringLiteral("Murin/Murin1.exe"));
    paths.firstFolder = work.filePath(QStringLiteral("Murin"));
    paths.rawFile = paths.firstFolder + QStringLiteral("/kivra.raw");
    paths.logFile = paths.firstFolder + QStringLiteral("/kivra.log");
    paths.secondFolder = work.filePath(QStringLiteral("Talvex"));
    paths.deckFile = paths.secondFolder + QStringLiteral("/temp.cir");
    paths.secondProgram = programs.filePath(QStringLiteral("Talvex/Talvex.exe"));
    return paths;
}

QDir ProgramsIn(const QString& programFolder) {
    return QDir(programFolder.isEmpty() ? QDir::currentPath() : programFolder);
}

}  // namespace

SimulationPaths SimulationPathsIn(const QString& programFolder) {
    const QDir programs = ProgramsIn(programFolder);
    const QString work = RunFolderFor(programs.path());
    TakenFolders()[programs.path()] = work;
    return PathsWith(programs, QDir(work));
}

SimulationPaths KnownSimulationPaths(const QString& programFolder) {
    const QDir programs = ProgramsIn(programFolder);
    auto taken = TakenFolders().find(programs.path());
    if (taken != TakenFolders().end())
        return PathsWith(programs, QDir(taken->second));
    // No run yet: where the first would go, unless another Kivra holds it.
    const QString first =
        ChooseRunFolder(programs.path(), ProgramFolderWritable(programs), UserRunFolder());
    return PathsWith(programs, QDir(first));
}

QString ChooseRunFolder(const QString& programFolder, bool programFolderWritable,
                        const QString& userFolder) {
    return programFolderWritable || userFolder.isEmpty() ? programFolder : userFolder;
}

QString RunFolderFor(const QString& programFolder) {
    QDir programs(programFolder);
    bool writable = ProgramFolderWritable(programs);
    QString user = UserRunFolder();
    QString chosen = ChooseRunFolder(programs.path(), writable, user);
    if (chosen == programs.path()) {
        if (TakeRunFolder(chosen))
            return chosen;
        if (user.isEmpty())
            return chosen;
        chosen = user;
    }
    // The user's folder, or, while another Kivra of the user runs there, a numbered one in it.
    QDir().mkpath(user);
    QFile::setPermissions(user, kPrivateFolder);
    for (int number = 1; number < 100; ++number) {
        const QString candidate = number == 1 ? user : user + QStringLiteral("/run-%1").arg(number);
        MakeRunFolders(candidate);
        if (TakeRunFolder(candidate))
            return candidate;
    }
    return user;
}

QString SimulationFolder() {
    return ChosenFolder().isEmpty() ? ProgramDirectory() : ChosenFolder();
}

void SetSimulationFolder(const QString& folder) {
    ChosenFolder() = folder;
}

QStringList FirstProgramArguments(const QString& netlistPath) {
    return {QStringLiteral("-t"), QStringLiteral("datanet3"), netlistPath};
}

QStringList SecondProgramArguments() {
    return {QStringLiteral("temp.cir")};
}

RunWindowPlace RunWindowPlaceOn(int screenWidth, int screenHeight) {
    int width = screenWidth / 6;
    return {screenWidth / 2 - width, screenHeight / 2, width};
}

std::string PrepareDeckLine(std::string_view line) {
    size_t start = line.find_first_not_of(" \t");
    std::string prepared(start == std::string_view::npos ? std::string_view() : line.substr(start));
    for (char& c : prepared) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return prepared;
}

ControlDeck BuildControlDeck(const std::vector<std::string_view>& netlistLines) {
    ControlDeck deck;
    deck.lines = {"temp file for Talvex ", "*#load ..\\Murin\\kivra.raw"};
    auto copy = [&deck](std::string line) {
        deck.lines.push_back(std::move(line));
        ++deck.copiedLines;
    };
    size_t count = netlistLines.size();
    for (size_t i = 0; i < count; ++i) {
        std::string line = PrepareDeckLine(netlistLines[i]);
        if (line.starts_with("*#"))
            copy(line);
        // A line may be both: a "*#" line that mentions ".control" also opens a block.
        if (line.find(".control") == std::string::npos)
            continue;
        copy(line);
        // The opening line itself never closes its block, even when it says ".endc" too.
        for (;;) {
            if (++i >= count) {
                deck.blockUnclosed = true;
                copy(".endc");
                break;
            }
            std::string blockLine = PrepareDeckLine(netlistLines[i]);
            bool closes = blockLine.find(".endc") != std::string::npos;
            copy(std::move(blockLine));
            if (closes)
                break;
        }
    }
    deck.lines.push_back(".end");
    return deck;
}

std::string ControlDeckText(const ControlDeck& deck) {
    std::string text;
    for (const std::string& line : deck.lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
