#include "DiskChange.h"

#include <QFile>

#include <algorithm>
#include <utility>
#include <vector>

#include "CorvelTextView.h"
#include "EncodingDetection.h"
#include "SampleDoc.h"

int ReloadFromDisk(CSampleDoc& document) {
    QByteArray name = QFile::encodeName(document.GetPathName());
    CCorvelTextBuffer& buffer = document.buffer;
    std::vector<std::pair<int, std::uint32_t>> marks;
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        if (std::uint32_t flags = buffer.FlagsOfLine(line))
            marks.emplace_back(line, flags);
    }
    std::vector<std::pair<CCorvelTextView*, int>> carets;
    for (CView* view : document.Views()) {
        if (auto* textView = dynamic_cast<CCorvelTextView*>(view))
            carets.emplace_back(textView, textView->CaretPosition().y);
    }

    // A load that fails leaves the text, its marks and the views as they were.
    if (!buffer.LoadFile(name.constData(), LineEndingStyle::Detect))
        return buffer.LastFileError();
    document.SetModifiedFlag(false);
    if (!document.encodingChosen)
        document.SetEncoding(DetectEncoding(buffer));

    const int total = buffer.LineTotal();
    for (const auto& [line, flags] : marks) {
        if (line >= total)
            break;
        for (int bit = 0; bit < 32; ++bit) {
            std::uint32_t flag = std::uint32_t{1} << bit;
            if (flags & flag)
                buffer.ChangeLineFlag(line, flag, true, false);
        }
    }
    for (const auto& [view, line] : carets) {
        TextPosition position{0, std::min(line, total - 1)};
        view->SetAnchorPoint(position);
        view->SelectRange(position, position);
        view->PlaceCursor(position);
        view->BringIntoView(position);
    }
    return 0;
}
