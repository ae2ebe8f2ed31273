#include "WaveformDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FileIdentity.h"
#include "ModalHost.h"
#include "RawFileReader.h"

void CWaveformDoc::Read(const QString& path) {
    auto read = std::make_shared<SRawFile>();
    std::string error;
    // What holds no plot is said in the window itself: the text window of a run's raw file
    // shows its bytes whatever they are, and a box on every run would only get in the way.
    if (!CRawFileReader::ReadFile(QFile::encodeName(path).toStdString(), *read, error))
        read->problem = error;
    file = std::move(read);
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
    QFile::remove(path);
    if (!QFile::copy(source, path)) {
        AfxMessageBox(QStringLiteral("Не удается записать файл %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

void CWaveformDoc::SetTitle(const QString& value) {
    CDocument::SetTitle(value + QStringLiteral(" — графики"));
}

void CWaveformDoc::DeleteContents() {
    file.reset();
}

void CWaveformDoc::OnRunSource(const std::vector<std::string>& netlistLines, bool fileRewritten) {
    netlist = netlistLines;
    if (fileRewritten)
        Read(GetPathName());
    UpdateAllViews(nullptr);
}
