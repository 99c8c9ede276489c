#include "platform/Cp1252.h"

#include <array>

namespace {

// 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char fromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

void appendUtf8(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Copies the run of ASCII from i on, which reads the same in both encodings, and returns
// where it ends.
size_t copyAsciiRun(std::string &out, std::string_view text, size_t i) {
    size_t end = i;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80)
        ++end;
    out.append(text.data() + i, end - i);
    return end;
}

} // namespace

namespace Cp1252 {

char32_t toUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return HighControls[byte - 0x80];
    return byte;
}

std::string toUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 4);
    for (size_t i = copyAsciiRun(out, cp1252, 0); i < cp1252.size(); i = copyAsciiRun(out, cp1252, i + 1))
        appendUtf8(out, toUnicode(static_cast<unsigned char>(cp1252[i])));
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        i = copyAsciiRun(out, utf8, i);
        if (i == utf8.size())
            break;
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out += '?'; // stray continuation byte or invalid lead
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra); ++j) {
            if (i + j >= utf8.size() || (static_cast<unsigned char>(utf8[i + j]) & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + j]) & 0x3F);
        }
        if (j <= static_cast<size_t>(extra)) { // truncated sequence
            out += '?';
            i += j;
            continue;
        }
        // Overlong forms and surrogates are malformed.
        static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        const bool malformed = cp < minimum[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF;
        out += malformed ? '?' : fromUnicode(cp);
        i += j;
    }
    return out;
}

} // namespace Cp1252
