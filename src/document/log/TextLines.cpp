#include "TextLines.h"

#include <QFile>
#include <QFileInfo>

#include "DocTemplate.h"
#include "SampleDoc.h"
#include "WinApp.h"

std::vector<std::string_view> LinesOf(const CCorvelTextBuffer& buffer) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(buffer.LineTotal()));
    for (int line = 0; line < buffer.LineTotal(); ++line)
        lines.emplace_back(buffer.LineText(line), static_cast<std::size_t>(buffer.LineLength(line)));
    return lines;
}

std::vector<std::string_view> SplitLines(std::string_view rest) {
    std::vector<std::string_view> lines;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return lines;
}

CSampleDoc* OpenDocumentOf(const QString& path) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return nullptr;
    for (const auto& docTemplate : application->Templates()) {
        if (auto* open = dynamic_cast<CSampleDoc*>(docTemplate->FindOpenDocument(path)))
            return open;
    }
    return nullptr;
}

CFileLines::CFileLines(const QString& path) {
    if (CSampleDoc* open = OpenDocumentOf(path)) {
        lines = LinesOf(open->buffer);
        return;
    }
    if (!QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return;
    bytes = file.readAll();
    lines = SplitLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
