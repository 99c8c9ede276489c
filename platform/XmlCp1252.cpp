#include "platform/XmlCp1252.h"

#include "platform/Cp1252.h"

#include <libxml/encoding.h>

#include <array>

namespace {
// The byte of each code point that Windows-1252 has above 0x7F; 0 for those it lacks.
unsigned char byteOf(char32_t c) {
    static const std::array<std::pair<char32_t, unsigned char>, 128> table = [] {
        std::array<std::pair<char32_t, unsigned char>, 128> t{};
        for (int b = 0x80; b <= 0xFF; ++b)
            t[size_t(b - 0x80)] = {Cp1252::toUnicode(static_cast<unsigned char>(b)), static_cast<unsigned char>(b)};
        return t;
    }();
    if (c < 0x80)
        return static_cast<unsigned char>(c);
    for (const auto &[code, byte] : table)
        if (code == c)
            return byte;
    return 0;
}

// libxml2's input converter: Windows-1252 bytes to UTF-8, as many as fit.
int toUtf8(unsigned char *out, int *outlen, const unsigned char *in, int *inlen) {
    int read = 0, written = 0;
    while (read < *inlen) {
        const char32_t c = Cp1252::toUnicode(in[read]);
        const int size = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (written + size > *outlen)
            break;
        if (size == 1) {
            out[written++] = static_cast<unsigned char>(c);
        } else if (size == 2) {
            out[written++] = static_cast<unsigned char>(0xC0 | (c >> 6));
            out[written++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            out[written++] = static_cast<unsigned char>(0xE0 | (c >> 12));
            out[written++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            out[written++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
        ++read;
    }
    *inlen = read;
    *outlen = written;
    return written;
}

// libxml2's output converter: UTF-8 to Windows-1252. A character the code page lacks stops it
// with -2, *inlen telling where, and libxml2 writes that character as a reference (&#8364;).
int fromUtf8(unsigned char *out, int *outlen, const unsigned char *in, int *inlen) {
    if (!in) {
        *outlen = 0;
        *inlen = 0;
        return 0;
    }
    int read = 0, written = 0;
    while (read < *inlen && written < *outlen) {
        const unsigned char lead = in[read];
        const int size = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (size == 0)
            return *inlen = read, *outlen = written, -2;
        if (read + size > *inlen)
            break; // the rest of this character comes with the next call
        char32_t c = size == 1 ? lead : lead & (0x7F >> size);
        for (int i = 1; i < size; ++i)
            c = (c << 6) | (in[read + i] & 0x3F);
        const unsigned char byte = byteOf(c);
        if (byte == 0 && c != 0) {
            *inlen = read;
            *outlen = written;
            return -2;
        }
        out[written++] = byte;
        read += size;
    }
    *inlen = read;
    *outlen = written;
    return written;
}
} // namespace

void RegisterCp1252WithLibxml() {
    if (xmlCharEncodingHandlerPtr existing = xmlFindCharEncodingHandler("windows-1252")) {
        xmlCharEncCloseFunc(existing);
        return;
    }
    xmlNewCharEncodingHandler("windows-1252", toUtf8, fromUtf8); // registers it
}
