#pragma once
// A document that declares a single-byte encoding (ISO-8859-1, Windows-1252) but whose bytes
// are UTF-8, as a program that re-saved a Séneca file may leave it: read as declared, every
// accented letter would become two ("Ã³" for "ó").

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct MislabelledUtf8 {
    int line = 0;        // of the first UTF-8 character above ASCII, from 1
    std::string sample;  // the text around it, in UTF-8
};

// Whether an encoding name is ISO-8859-1 or Windows-1252 (or one of their other names).
bool IsSingleByteLatin(std::string_view declared);

// Looks at a document's bytes in pieces, in order: whether they hold at least one UTF-8
// sequence above ASCII and nothing that is not UTF-8. Bytes that are not UTF-8 make the
// document what it declares (a Latin-1 text where "Ã" is followed by a symbol stays Latin-1).
class Utf8Scan {
public:
    void feed(std::string_view bytes);
    bool allUtf8WithMultibyte() const { return !m_invalid && m_first.has_value() && m_carry.empty(); }
    std::int64_t firstOffset() const { return m_first.value_or(0); } // from the start of the bytes
    int firstLine() const { return m_firstLine; }

private:
    std::string m_carry; // the start of a sequence that the next piece completes
    bool m_invalid = false;
    std::int64_t m_offset = 0; // of the first byte of the next piece (carry included)
    int m_lines = 1;
    std::optional<std::int64_t> m_first;
    int m_firstLine = 0;
};

// The text around byte `at` of a window of the document, up to the markup or the line around it.
std::string SampleAround(std::string_view window, std::size_t at);

// Both at once, for bytes held whole.
std::optional<MislabelledUtf8> FindMislabelledUtf8(std::string_view bytes, std::string_view declared);
