#include "platform/MislabelledUtf8.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>

namespace {

// The length of the UTF-8 sequence above ASCII that starts at `i`: 0 when it is not one
// (overlong forms and surrogates included), -1 when the bytes end before it does.
int sequenceAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    const int length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                     : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                                    : 0;
    if (length == 0)
        return 0;
    for (std::size_t k = 1; k < std::size_t(length); ++k) {
        if (i + k >= s.size())
            return -1;
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        if (k == 1 && ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) > 0x9F) ||
                       (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) > 0x8F)))
            return 0;
    }
    return length;
}

} // namespace

bool IsSingleByteLatin(std::string_view declared) {
    static const std::array<const char *, 8> names = {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1",
                                                      "LATIN-1",    "WINDOWS-1252", "CP1252", "ISO-8859-15"};
    const QByteArray upper = QByteArray(declared.data(), static_cast<qsizetype>(declared.size())).toUpper();
    return std::any_of(names.begin(), names.end(), [&](const char *n) { return upper == n; });
}

void Utf8Scan::feed(std::string_view piece) {
    if (m_invalid)
        return;
    std::string joined;
    std::string_view bytes = piece;
    if (!m_carry.empty()) {
        joined = m_carry + std::string(piece);
        bytes = joined;
        m_carry.clear();
    }
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c == '\n' && !m_first)
                ++m_lines;
            ++i;
            continue;
        }
        const int length = sequenceAt(bytes, i);
        if (length < 0) {
            m_carry.assign(bytes.substr(i));
            break;
        }
        if (length == 0) {
            m_invalid = true;
            return;
        }
        if (!m_first) {
            m_first = m_offset + std::int64_t(i);
            m_firstLine = m_lines;
        }
        i += std::size_t(length);
    }
    m_offset += std::int64_t(bytes.size() - m_carry.size());
}

std::string SampleAround(std::string_view window, std::size_t at) {
    const std::size_t from = window.find_last_of("<>\n", at);
    const std::size_t to = window.find_first_of("<>\n", at);
    const std::size_t start = from == std::string_view::npos ? 0 : from + 1;
    const std::size_t end = std::min(to == std::string_view::npos ? window.size() : to, start + 80);
    return QString::fromUtf8(window.data() + start, static_cast<qsizetype>(end - start)).trimmed().toStdString();
}

std::optional<MislabelledUtf8> FindMislabelledUtf8(std::string_view bytes, std::string_view declared) {
    if (!IsSingleByteLatin(declared))
        return std::nullopt;
    Utf8Scan scan;
    scan.feed(bytes);
    if (!scan.allUtf8WithMultibyte())
        return std::nullopt;
    return MislabelledUtf8{scan.firstLine(), SampleAround(bytes, static_cast<std::size_t>(scan.firstOffset()))};
}
