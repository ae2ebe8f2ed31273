#include "Windows1251.h"

#include <QString>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr char16_t kUpperHalf[128] = {
    // 0x80
    u'\u0402',
    u'\u0403',
    u'\u201A',
    u'\u0453',
    u'\u201E',
    u'\u2026',
    u'\u2020',
    u'\u2021',
    u'\u20AC',
    u'\u2030',
    u'\u0409',
    u'\u2039',
    u'\u040A',
    u'\u040C',
    u'\u040B',
    u'\u040F',
    // 0x90; 0x98 is unassigned
    u'\u0452',
    u'\u2018',
    u'\u2019',
    u'\u201C',
    u'\u201D',
    u'\u2022',
    u'\u2013',
    u'\u2014',
    u'\uFFFD',
    u'\u2122',
    u'\u0459',
    u'\u203A',
    u'\u045A',
    u'\u045C',
    u'\u045B',
    u'\u045F',
    // 0xA0
    u'\u00A0',
    u'\u040E',
    u'\u045E',
    u'\u0408',
    u'\u00A4',
    u'\u0490',
    u'\u00A6',
    u'\u00A7',
    u'\u0401',
    u'\u00A9',
    u'\u0404',
    u'\u00AB',
    u'\u00AC',
    u'\u00AD',
    u'\u00AE',
    u'\u0407',
    // 0xB0
    u'\u00B0',
    u'\u00B1',
    u'\u0406',
    u'\u0456',
    u'\u0491',
    u'\u00B5',
    u'\u00B6',
    u'\u00B7',
    u'\u0451',
    u'\u2116',
    u'\u0454',
    u'\u00BB',
    u'\u0458',
    u'\u0405',
    u'\u0455',
    u'\u0457',
    // 0xC0-0xFF: А ... я
    u'\u0410',
    u'\u0411',
    u'\u0412',
    u'\u0413',
    u'\u0414',
    u'\u0415',
    u'\u0416',
    u'\u0417',
    u'\u0418',
    u'\u0419',
    u'\u041A',
    u'\u041B',
    u'\u041C',
    u'\u041D',
    u'\u041E',
    u'\u041F',
    u'\u0420',
    u'\u0421',
    u'\u0422',
    u'\u0423',
    u'\u0424',
    u'\u0425',
    u'\u0426',
    u'\u0427',
    u'\u0428',
    u'\u0429',
    u'\u042A',
    u'\u042B',
    u'\u042C',
    u'\u042D',
    u'\u042E',
    u'\u042F',
    u'\u0430',
    u'\u0431',
    u'\u0432',
    u'\u0433',
    u'\u0434',
    u'\u0435',
    u'\u0436',
    u'\u0437',
    u'\u0438',
    u'\u0439',
    u'\u043A',
    u'\u043B',
    u'\u043C',
    u'\u043D',
    u'\u043E',
    u'\u043F',
    u'\u0440',
    u'\u0441',
    u'\u0442',
    u'\u0443',
    u'\u0444',
    u'\u0445',
    u'\u0446',
    u'\u0447',
    u'\u0448',
    u'\u0449',
    u'\u044A',
    u'\u044B',
    u'\u044C',
    u'\u044D',
    u'\u044E',
    u'\u044F',
};

constexpr unsigned char kUnassignedByte = 0x98;

// The upper half sorted by character, for encoding; without the unassigned byte.
using ReverseTable = std::array<std::pair<char16_t, unsigned char>, 127>;

const ReverseTable& Reverse() {
    static const ReverseTable table = [] {
        ReverseTable result{};
        int count = 0;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            if (byte != kUnassignedByte)
                result[count++] = {kUpperHalf[byte - 0x80], static_cast<unsigned char>(byte)};
        }
        std::sort(result.begin(), result.end());
        return result;
    }();
    return table;
}

}  // namespace

namespace Windows1251 {

char32_t ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kUpperHalf[byte - 0x80]);
}

bool FromUnicode(char32_t character, char& byte) {
    if (character < 0x80) {
        byte = static_cast<char>(character);
        return true;
    }
    if (character >= 0x0410 && character <= 0x044F) {  // А ... я, the common case
        byte = static_cast<char>(0xC0 + (character - 0x0410));
        return true;
    }
    if (character > 0xFFFF || character == kUnassigned)
        return false;
    const ReverseTable& table = Reverse();
    const auto found =
        std::lower_bound(table.begin(), table.end(), static_cast<char16_t>(character),
                         [](const auto& entry, char16_t value) { return entry.first < value; });
    if (found == table.end() || found->first != character)
        return false;
    byte = static_cast<char>(found->second);
    return true;
}

QString Decode(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte < 0x80 ? char16_t(byte) : kUpperHalf[byte - 0x80]);
    }
    return text;
}

std::string Encode(const QString& text, bool* allEncoded) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    bool complete = true;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t character = text[i].unicode();
        if (QChar::isHighSurrogate(character) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        char byte = kNoByte;
        if (!FromUnicode(character, byte)) {
            byte = kNoByte;
            complete = false;
        }
        bytes.push_back(byte);
    }
    if (allEncoded != nullptr)
        *allEncoded = complete;
    return bytes;
}

QStringList Unencodable(const QString& text) {
    QStringList missing;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        qsizetype length = 1;
        char32_t character = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        char byte;
        QString one = text.mid(i, length);
        if (!FromUnicode(character, byte) && !missing.contains(one))
            missing.append(one);
        i += length - 1;
    }
    return missing;
}

}  // namespace Windows1251
