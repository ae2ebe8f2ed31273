#include "WaveformDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <cstdio>

#include "FileIdentity.h"
#include "ModalHost.h"
#include "RawFileReader.h"

namespace {

// The file read and made ready to draw.
std::shared_ptr<SPreparedRaw> ReadNow(const std::string& path,
                                      const CRawFileReader::Progress& progress) {
    auto read = std::make_shared<SRawFile>();
    std::string error;
    // What holds no plot is said in the window itself: the text window of a run's raw file
    // shows its bytes whatever they are, and a box on every run would only get in the way.
    if (!CRawFileReader::ReadFile(path, *read, error, progress))
        read->problem = error;
    return PrepareRaw(std::move(read));
}

}  // namespace

CWaveformDoc::CWaveformDoc() = default;

CWaveformDoc::~CWaveformDoc() {
    StopReading();
}

void CWaveformDoc::StopReading() {
    if (stopReader)
        stopReader->store(true);
    if (reader.joinable())
        reader.join();
    stopReader.reset();
    reading = false;
}

void CWaveformDoc::Read(const QString& path) {
    StopReading();
    const QFileInfo info(path);
    readSize = info.size();
    readTime = info.lastModified();
    const std::string name = QFile::encodeName(path).toStdString();
    if (static_cast<std::uint64_t>(QFileInfo(path).size()) < kBackgroundFrom) {
        prepared = ReadNow(name, {});
        return;
    }
    reading = true;
    progress = 0;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    stopReader = stop;
    QPointer<QObject> target(&receiver);
    // What the thread reports is handled on the window's thread, and only while this reading
    // is the document's: a stopped one reports nothing more.
    auto deliver = [this, target, stop](auto action) {
        QMetaObject::invokeMethod(
            &receiver,
            [this, target, stop, action] {
                if (target && !stop->load())
                    action(this);
            },
            Qt::QueuedConnection);
    };
    reader = std::thread([name, stop, deliver] {
        std::shared_ptr<SPreparedRaw> read = ReadNow(name, [&](std::uint64_t done, std::uint64_t total) {
            if (stop->load())
                return false;
            const double share = total > 0 ? static_cast<double>(done) / total : 0;
            deliver([share](CWaveformDoc* document) {
                document->progress = share;
                document->UpdateAllViews(nullptr, ReadingMoved);
            });
            return true;
        });
        deliver([read](CWaveformDoc* document) {
            document->reading = false;
            document->prepared = read;
            if (document->reader.joinable())
                document->reader.join();
            document->UpdateAllViews(nullptr, FileRead);
        });
    });
}

bool CWaveformDoc::OnOpenDocument(const QString& path) {
    if (!CDocument::OnOpenDocument(path))
        return false;
    Read(path);
    return true;
}

bool CWaveformDoc::OnSaveDocument(const QString& path) {
    const QString source = GetPathName();
    if (source.isEmpty() || FileIdentity(source) == FileIdentity(path))
        return true;
    // A run may have removed or rewritten the file since it was read: then the copy would not
    // hold what the windows show, and the file chosen is left as it is.
    const QFileInfo now(source);
    if (!now.exists() || now.size() != readSize || now.lastModified() != readTime) {
        AfxMessageBox(QStringLiteral("Файл %1 изменился после того, как графики были прочитаны, "
                                     "и не сохранен в %2.")
                          .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(path)));
        return false;
    }
    // The copy is made beside the target and takes its place only when whole.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(source, part) ||
        std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(part);
        AfxMessageBox(
            QStringLiteral("Не удается записать файл %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

void CWaveformDoc::SetTitle(const QString& value) {
    CDocument::SetTitle(value + QStringLiteral(" — графики"));
}

void CWaveformDoc::DeleteContents() {
    StopReading();
    prepared.reset();
}

void CWaveformDoc::OnRunSource(const std::vector<std::string>& netlistLines, bool fileRewritten) {
    netlist = netlistLines;
    if (fileRewritten)
        Read(GetPathName());
    UpdateAllViews(nullptr, reading ? ReadingMoved : fileRewritten ? FileRead : NetlistGiven);
}
