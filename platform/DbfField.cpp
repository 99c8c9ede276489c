#include "platform/DbfField.h"
#include "platform/DbfFormat.h"
#include "platform/DbfHeader.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace DbfField {

namespace {

constexpr std::uint32_t IntegerSignFlip = 0x80000000u;
constexpr std::uint64_t DoubleSign = 0x8000000000000000ull;

std::string_view bytesOf(const DbfFieldInfo &f, const char *p) { return {p, static_cast<size_t>(f.width)}; }

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool allZero(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == '\0'; });
}

bool hasBinaryLayout(const DbfFieldInfo &f) {
    switch (f.type) {
    case 'I':
    case '+':
        return f.width == Dbf::BinaryIntegerWidth;
    case 'O':
    case '@':
        return f.width == Dbf::BinaryDoubleWidth;
    default:
        return false;
    }
}

std::int32_t decodeInteger(const char *p) {
    return static_cast<std::int32_t>(DbfBytes::be32(p) ^ IntegerSignFlip);
}

void encodeInteger(char *p, std::int32_t v) { DbfBytes::putBe32(p, static_cast<std::uint32_t>(v) ^ IntegerSignFlip); }

double decodeDouble(const char *p) {
    std::uint64_t bits = DbfBytes::be64(p);
    bits = (bits & DoubleSign) ? (bits & ~DoubleSign) : ~bits;
    return std::bit_cast<double>(bits);
}

void encodeDouble(char *p, double v) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    DbfBytes::putBe64(p, v < 0 ? ~bits : (bits | DoubleSign));
}

AnsiText timestampText(const char *p) {
    const double ms = std::bit_cast<double>(DbfBytes::be64(p));
    if (!std::isfinite(ms) || std::fabs(ms) > 1e16)
        return {};
    const double days = std::floor(ms / Dbf::MillisecondsPerDay);
    const auto msOfDay = static_cast<int>(std::llround(ms - days * Dbf::MillisecondsPerDay));
    const QDate date = QDate::fromJulianDay(Dbf::TimestampDayOneJulian + static_cast<qint64>(days));
    if (!date.isValid())
        return {};
    const QTime time = QTime::fromMSecsSinceStartOfDay(std::min(msOfDay, 86399999));
    return AnsiText::fromQString(date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
                                 time.toString(QStringLiteral("HH:mm:ss")));
}

// Right-aligns digits in an N/F field; false when they do not fit.
bool putDigits(const DbfFieldInfo &f, char *p, std::string digits) {
    // "-0.0000" is zero.
    if (!digits.empty() && digits.front() == '-' &&
        std::all_of(digits.begin() + 1, digits.end(), [](char c) { return c == '0' || c == '.'; }))
        digits.erase(digits.begin());
    if (static_cast<int>(digits.size()) > f.width)
        return false;
    std::memset(p, ' ', static_cast<size_t>(f.width));
    std::memcpy(p + f.width - static_cast<int>(digits.size()), digits.data(), digits.size());
    return true;
}

} // namespace

bool isNumeric(const DbfFieldInfo &f) {
    return f.type == 'N' || f.type == 'F' || ((f.type == 'I' || f.type == '+' || f.type == 'O') && hasBinaryLayout(f));
}
bool isCharacter(const DbfFieldInfo &f) { return f.type == 'C'; }
bool isBinary(const DbfFieldInfo &f) { return hasBinaryLayout(f); }

AnsiText text(const DbfFieldInfo &f, const char *p) {
    const std::string_view raw = bytesOf(f, p);
    switch (f.type) {
    case 'C': {
        std::string_view s = raw.substr(0, std::min(raw.find('\0'), raw.size()));
        while (!s.empty() && s.back() == ' ')
            s.remove_suffix(1);
        return AnsiText::fromBytes(std::string(s));
    }
    case 'L': {
        const char c = raw.empty() ? ' ' : raw.front();
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            return AnsiText::ascii("T");
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return AnsiText::ascii("F");
        return {};
    }
    default:
        break;
    }
    if (hasBinaryLayout(f)) {
        if (allZero(raw))
            return {};
        if (f.type == '@')
            return timestampText(p);
        if (f.type == 'O')
            return AnsiText::ascii(shortestDecimal(decodeDouble(p)));
        return AnsiText::ascii(std::to_string(decodeInteger(p)));
    }
    return AnsiText::fromBytes(std::string(trimmed(raw)));
}

bool isBlank(const DbfFieldInfo &f, const char *p) {
    const std::string_view raw = bytesOf(f, p);
    return std::all_of(raw.begin(), raw.end(), [](char c) { return c == ' ' || c == '\0'; });
}

void clear(const DbfFieldInfo &f, char *p) { std::memset(p, hasBinaryLayout(f) ? '\0' : ' ', static_cast<size_t>(f.width)); }

Number number(const DbfFieldInfo &f, const char *p) {
    const std::string_view raw = bytesOf(f, p);
    if (hasBinaryLayout(f) && f.type != '@') {
        if (allZero(raw))
            return {Status::Blank, 0};
        return {Status::Ok, f.type == 'O' ? decodeDouble(p) : double(decodeInteger(p))};
    }
    if (f.type != 'N' && f.type != 'F')
        return {Status::Invalid, 0};
    if (trimmed(raw).empty())
        return {Status::Blank, 0};
    const std::optional<double> v = parseDecimal(raw);
    return v ? Number{Status::Ok, *v} : Number{Status::Invalid, 0};
}

std::optional<double> parseDecimal(std::string_view text) {
    std::string s(trimmed(text));
    if (!s.empty() && s.front() == '+')
        s.erase(s.begin());
    if (s.empty() || s.front() == '+')
        return std::nullopt;
    bool digit = false;
    for (char &c : s) {
        if (c == ',')
            c = '.';
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E')
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<std::int64_t> parseWhole(std::string_view text) {
    std::string_view s = trimmed(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() ||
        v > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
}

bool putInteger(const DbfFieldInfo &f, char *p, std::int64_t value) {
    if (hasBinaryLayout(f) && (f.type == 'I' || f.type == '+')) {
        if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
            return false;
        encodeInteger(p, static_cast<std::int32_t>(value));
        return true;
    }
    if (f.type == 'O' && hasBinaryLayout(f)) {
        encodeDouble(p, static_cast<double>(value));
        return true;
    }
    if (f.type == 'C') {
        putText(f, p, std::to_string(value));
        return true;
    }
    if (f.type != 'N' && f.type != 'F')
        return false;
    std::string digits = std::to_string(value);
    if (f.decimals > 0)
        digits += '.' + std::string(static_cast<size_t>(f.decimals), '0');
    return putDigits(f, p, std::move(digits));
}

bool putDouble(const DbfFieldInfo &f, char *p, double value) {
    if (!std::isfinite(value))
        return false;
    if (hasBinaryLayout(f) && (f.type == 'I' || f.type == '+')) {
        const double r = std::nearbyint(value);
        if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
            return false;
        encodeInteger(p, static_cast<std::int32_t>(r));
        return true;
    }
    if (f.type == 'O' && hasBinaryLayout(f)) {
        encodeDouble(p, value);
        return true;
    }
    if (f.type == 'C') {
        putText(f, p, shortestDecimal(value));
        return true;
    }
    if (f.type != 'N' && f.type != 'F')
        return false;
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::max(f.decimals, 0));
    if (ec != std::errc())
        return false;
    return putDigits(f, p, std::string(buffer, end));
}

void putText(const DbfFieldInfo &f, char *p, std::string_view bytes) {
    const size_t n = std::min(bytes.size(), static_cast<size_t>(f.width));
    std::memcpy(p, bytes.data(), n);
    std::memset(p + n, ' ', static_cast<size_t>(f.width) - n);
}

void putLogical(const DbfFieldInfo &f, char *p, bool value) { putText(f, p, value ? "T" : "F"); }

std::string shortestDecimal(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace DbfField
