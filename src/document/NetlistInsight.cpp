#include "NetlistInsight.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

#include "ResultDocuments.h"
#include "SampleDoc.h"
#include "UpdateHint.h"

int CNetlistInsight::delayMilliseconds = 300;

namespace {

// One slice of copying: well under what a user notices, and leaves room for the repaint.
constexpr std::chrono::microseconds kSliceTime{8000};

}  // namespace

CNetlistInsight* CNetlistInsight::Of(CSampleDoc& document) {
    if (!document.insight)
        document.insight.reset(new CNetlistInsight(document));
    return static_cast<CNetlistInsight*>(document.insight.get());
}

CNetlistInsight::CNetlistInsight(CSampleDoc& owner) : document(owner) {
    for (QTimer* timer : {&afterLastChange, &nextSlice})
        timer->setSingleShot(true);
    connect(&afterLastChange, &QTimer::timeout, this, [this] { StartCopy(); });
    connect(&nextSlice, &QTimer::timeout, this, [this] { CopyOn(); });
    document.buffer.AttachView(this);
    // The text there is now is read as soon as the window is idle.
    Schedule(0);
}

CNetlistInsight::~CNetlistInsight() {
    document.buffer.DetachView(this);
}

bool CNetlistInsight::Analysed() const {
    CResultDocuments* results = CResultDocuments::OfApplication();
    if (results != nullptr && (results->logDocument == &document || results->rawDocument == &document))
        return false;
    // A read-only window without a file is one the program filled (a list of places).
    const QString path = document.GetPathName();
    if (path.isEmpty() && document.buffer.IsReadOnly())
        return false;
    // A log or raw file opened by hand, or one the run wrote before this session.
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("log"), Qt::CaseInsensitive) != 0 &&
           suffix.compare(QLatin1String("raw"), Qt::CaseInsensitive) != 0;
}

std::string CNetlistInsight::AnalysedPath() const {
    QString path = document.GetPathName();
    if (path.isEmpty()) {
        const QString title = document.GetTitle();
        path = QDir::current().absoluteFilePath(title.isEmpty() ? QStringLiteral("untitled.cir")
                                                                : title);
    }
    return QFile::encodeName(path).toStdString();
}

void CNetlistInsight::RefreshAfterChange(CTextBufferObserver*, const CUpdateContext*,
                                         unsigned hint, int) {
    // Bookmarks are no part of the netlist.
    if (hint == (MarksOnly | OneLineOnly))
        return;
    ++textVersion;
    // A copy under way is of a text that is gone.
    nextSlice.stop();
    copy.reset();
    Schedule(delayMilliseconds);
}

void CNetlistInsight::Schedule(int delay) {
    afterLastChange.start(delay);
}

void CNetlistInsight::FollowPath() {
    if (!analysis || afterLastChange.isActive() || copy)
        return;
    const std::string path = AnalysedPath();
    const bool underWay = launchedVersion == textVersion && launchedPath == path;
    if (analysedPath != path && !underWay)
        Schedule(0);
}

void CNetlistInsight::StartCopy() {
    if (!Analysed() || (analysedVersion == textVersion && analysedPath == AnalysedPath()))
        return;
    // The first screen of a large file is no whole text; the rest replaces it and is read then.
    if (document.Loading())
        return;
    copy = std::make_unique<NetlistText>();
    copiedLines = 0;
    copyVersion = textVersion;
    CopyOn();
}

void CNetlistInsight::CopyOn() {
    if (!copy || copyVersion != textVersion)
        return;
    if (!CopySlice(kSliceTime)) {
        nextSlice.start(0);
        return;
    }
    Launch();
}

bool CNetlistInsight::CopySlice(std::chrono::microseconds budget) {
    const auto deadline = std::chrono::steady_clock::now() + budget;
    const CCorvelTextBuffer& buffer = document.buffer;
    const int total = buffer.LineTotal();
    while (copiedLines < total) {
        copy->AddLine(std::string_view(buffer.LineText(copiedLines),
                                       static_cast<std::size_t>(buffer.LineLength(copiedLines))));
        ++copiedLines;
        if ((copiedLines & 1023) == 0 && std::chrono::steady_clock::now() >= deadline)
            return copiedLines >= total;
    }
    return true;
}

void CNetlistInsight::Launch() {
    // Shared, because the pool copies its task; the analysis keeps the text.
    std::shared_ptr<NetlistText> text(copy.release());
    const std::uint64_t version = copyVersion;
    std::string path = AnalysedPath();
    launchedVersion = version;
    launchedPath = path;
    // The result comes back on the window's thread, and only while this object is there.
    QPointer<CNetlistInsight> self(this);
    QThreadPool::globalInstance()->start([self, text, version, path] {
        std::shared_ptr<const NetlistAnalysis> result = AnalyzeNetlist(path, std::move(*text));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, version, path, result] {
                if (self)
                    self->Take(version, path, result);
            },
            Qt::QueuedConnection);
    });
}

void CNetlistInsight::Take(std::uint64_t version, const std::string& path,
                           std::shared_ptr<const NetlistAnalysis> result) {
    // A text changed since it was copied has an analysis of its own coming.
    if (version != textVersion || result == nullptr)
        return;
    if (analysis && analysedVersion == version && analysedPath == path)
        return;  // Current() was asked for it meanwhile
    analysis = std::move(result);
    analysedVersion = version;
    analysedPath = path;
    emit analysisChanged();
}

std::shared_ptr<const NetlistAnalysis> CNetlistInsight::Current() {
    if (!Analysed())
        return nullptr;
    const std::string path = AnalysedPath();
    if (analysis && analysedVersion == textVersion && analysedPath == path)
        return analysis;
    afterLastChange.stop();
    nextSlice.stop();
    copy = std::make_unique<NetlistText>();
    copiedLines = 0;
    CopySlice(std::chrono::hours(24));
    analysis = AnalyzeNetlist(path, std::move(*copy));
    copy.reset();
    analysedVersion = textVersion;
    analysedPath = path;
    emit analysisChanged();
    return analysis;
}
