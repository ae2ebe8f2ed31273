#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

class CCorvelTextBuffer;
class CSampleDoc;

// Texts as the lists of lines that the log and netlist readers work on.

// The buffer's lines; they stay valid until the buffer changes.
std::vector<std::string_view> LinesOf(const CCorvelTextBuffer& buffer);
// The lines of file bytes: broken at LF, a CR before it dropped; no line after a final break.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The open document of the file, when there is one.
CSampleDoc* OpenDocumentOf(const QString& path);

// The lines of a file as its open window shows them, else as the file holds them; none when it
// cannot be read. Only a regular file is read: a pipe or a device would never end.
class CFileLines {
public:
    explicit CFileLines(const QString& path);
    CFileLines(const CFileLines&) = delete;
    CFileLines& operator=(const CFileLines&) = delete;

    const std::vector<std::string_view>& Lines() const { return lines; }

private:
    QByteArray bytes;  // what the lines point into when the file was read
    std::vector<std::string_view> lines;
};
