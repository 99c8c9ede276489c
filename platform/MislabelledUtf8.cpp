#include "platform/MislabelledUtf8.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>

namespace {

bool isSingleByteLatin(std::string_view declared) {
    static const std::array<const char *, 8> names = {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1",
                                                      "LATIN-1",    "WINDOWS-1252", "CP1252", "ISO-8859-15"};
    const QByteArray upper = QByteArray(declared.data(), static_cast<qsizetype>(declared.size())).toUpper();
    return std::any_of(names.begin(), names.end(), [&](const char *n) { return upper == n; });
}

// The length of the UTF-8 sequence above ASCII that starts at `i`, or 0 when it is not one
// (overlong forms and surrogates included).
std::size_t sequenceAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                                       : 0;
    if (length == 0 || i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    const unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

} // namespace

std::optional<MislabelledUtf8> FindMislabelledUtf8(std::string_view bytes, std::string_view declared) {
    if (!isSingleByteLatin(declared))
        return std::nullopt;
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = sequenceAt(bytes, i);
        if (length == 0)
            return std::nullopt;
        if (!first)
            first = i;
        i += length;
    }
    if (!first)
        return std::nullopt;
    MislabelledUtf8 found;
    found.line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*first), '\n'));
    // The word the character stands in, up to the markup or the line around it.
    const std::size_t from = bytes.find_last_of("<>\n", *first);
    const std::size_t to = bytes.find_first_of("<>\n", *first);
    const std::size_t start = from == std::string_view::npos ? 0 : from + 1;
    const std::size_t end = std::min(to == std::string_view::npos ? bytes.size() : to, start + 80);
    found.sample = QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(end - start)).trimmed().toStdString();
    return found;
}
