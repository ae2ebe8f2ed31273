#pragma once

// Whole files, read and written in one step: with std::filesystem paths for the tests that have no
// Qt, and with QString paths for the ones that have.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef QT_CORE_LIB
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#endif

namespace kivra_test {

// The file's bytes; throws when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's bytes, or nothing when there is no such file.
inline std::string ReadBytesOrEmpty(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes the file hold exactly these bytes; throws when it cannot be written.
inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

#ifdef QT_CORE_LIB
// The file's bytes, or nothing when it does not open.
inline QByteArray ReadBytesOrEmpty(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes the file hold exactly these bytes; the test fails when it cannot be written.
inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

// As WriteBytes, and the owner may run the file as a program.
inline void WriteProgram(const QString& path, const QByteArray& text) {
    WriteBytes(path, text);
    ASSERT_TRUE(QFile::setPermissions(
        path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser))
        << path.toStdString();
}
#endif

}  // namespace kivra_test
