#pragma once
// Single-byte Windows-1252 text, as the host's tables hold it. A distinct type keeps table
// text apart from UTF-8 messages and paths: nothing converts into it implicitly, so a UTF-8
// literal cannot reach a table without going through fromUtf8().

#include <QString>
#include <compare>
#include <string>
#include <string_view>

class AnsiText {
public:
    AnsiText() = default;

    // The bytes are taken as Windows-1252 as they stand.
    static AnsiText fromBytes(std::string bytes) { return AnsiText(std::move(bytes)); }
    // Plain ASCII from a literal in the code ("NIV", "fuera"); a non-ASCII byte is a
    // programming error and aborts in debug builds.
    static AnsiText ascii(std::string_view text);
    // UTF-8 to Windows-1252; a character outside Windows-1252 becomes '?'.
    static AnsiText fromUtf8(std::string_view utf8);
    static AnsiText fromQString(const QString &text);

    std::string toUtf8() const;
    QString toQString() const;
    const std::string &bytes() const { return m_bytes; }

    int size() const { return static_cast<int>(m_bytes.size()); }
    bool isEmpty() const { return m_bytes.empty(); }
    unsigned char at(int i) const { return static_cast<unsigned char>(m_bytes[static_cast<size_t>(i)]); }
    // The first n characters (all of them when n >= size()).
    AnsiText left(int n) const;
    // The last n characters (all of them when n >= size()).
    AnsiText right(int n) const;
    // Characters from position pos (from 0), at most n of them (n < 0: to the end).
    AnsiText mid(int pos, int n = -1) const;
    bool contains(char c) const { return m_bytes.find(c) != std::string::npos; }

    AnsiText &operator+=(const AnsiText &other) { m_bytes += other.m_bytes; return *this; }
    AnsiText &operator+=(char c) { m_bytes += c; return *this; }
    friend AnsiText operator+(AnsiText a, const AnsiText &b) { a += b; return a; }
    friend AnsiText operator+(AnsiText a, char c) { a += c; return a; }

    friend bool operator==(const AnsiText &, const AnsiText &) = default;
    // Byte order, as a case-sensitive sorted list of the host's platform compares.
    friend std::strong_ordering operator<=>(const AnsiText &a, const AnsiText &b) {
        return a.m_bytes <=> b.m_bytes;
    }

private:
    explicit AnsiText(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::string m_bytes;
};

// Case mappings on single-byte text.
namespace AnsiCase {
// Only a-z become A-Z; every other byte, accented letters included, stays.
AnsiText asciiUpper(const AnsiText &text);
// Windows-1252 lower case: A-Z, and the accented capitals with a lower-case partner
// (À-Þ except ×, plus Š Œ Ž Ÿ).
AnsiText lower(const AnsiText &text);
} // namespace AnsiCase
