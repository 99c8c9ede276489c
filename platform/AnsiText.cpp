#include "platform/AnsiText.h"
#include "platform/Cp1252.h"

#include <cassert>

AnsiText AnsiText::ascii(std::string_view text) {
    for ([[maybe_unused]] unsigned char c : text)
        assert(c < 0x80 && "AnsiText::ascii() takes ASCII only");
    return AnsiText(std::string(text));
}

AnsiText AnsiText::fromUtf8(std::string_view utf8) { return AnsiText(Cp1252::fromUtf8(utf8)); }

AnsiText AnsiText::fromQString(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    return fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::string AnsiText::toUtf8() const { return Cp1252::toUtf8(m_bytes); }

QString AnsiText::toQString() const { return QString::fromStdString(toUtf8()); }

AnsiText AnsiText::left(int n) const {
    if (n <= 0)
        return {};
    return AnsiText(m_bytes.substr(0, static_cast<size_t>(n)));
}

AnsiText AnsiText::right(int n) const {
    if (n <= 0)
        return {};
    if (n >= size())
        return *this;
    return AnsiText(m_bytes.substr(m_bytes.size() - static_cast<size_t>(n)));
}

AnsiText AnsiText::mid(int pos, int n) const {
    if (pos < 0)
        pos = 0;
    if (pos >= size())
        return {};
    return AnsiText(n < 0 ? m_bytes.substr(static_cast<size_t>(pos))
                          : m_bytes.substr(static_cast<size_t>(pos), static_cast<size_t>(n)));
}

namespace AnsiCase {

AnsiText asciiUpper(const AnsiText &text) {
    std::string out = text.bytes();
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return AnsiText::fromBytes(std::move(out));
}

AnsiText lower(const AnsiText &text) {
    std::string out = text.bytes();
    for (char &ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            ch = static_cast<char>(c + 0x20);
        else if (c == 0x8A || c == 0x8C || c == 0x8E) // Š Œ Ž
            ch = static_cast<char>(c + 0x10);
        else if (c == 0x9F) // Ÿ
            ch = static_cast<char>(0xFF);
    }
    return AnsiText::fromBytes(std::move(out));
}

} // namespace AnsiCase
