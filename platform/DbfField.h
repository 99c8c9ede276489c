#pragma once
// Values of one field inside a record buffer: how each dBase type reads as text and as a
// number, and how values are written into it. Writers return false when the value does not
// fit the field; none of these functions throws.

#include "platform/AnsiText.h"
#include "platform/DbfTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace DbfField {

// The field's text: character values without trailing blanks (and cut at a NUL); numbers
// without any padding; logicals "T", "F" or empty; level 7 integers and doubles in decimal;
// timestamps as "yyyy-MM-dd HH:mm:ss"; any other type as its bytes, trimmed.
AnsiText text(const DbfFieldInfo &f, const char *p);
// Blanks or zero bytes only (a never-set field).
bool isBlank(const DbfFieldInfo &f, const char *p);
// The bytes of a never-set field: blanks, or zeros for the binary level 7 types.
void clear(const DbfFieldInfo &f, char *p);

bool isNumeric(const DbfFieldInfo &f);   // N F I + O
bool isCharacter(const DbfFieldInfo &f); // C
bool isBinary(const DbfFieldInfo &f);    // I + O @

enum class Status { Ok, Blank, Invalid };
struct Number {
    Status status;
    double value;
};
// The value of a numeric field (N F I + O).
Number number(const DbfFieldInfo &f, const char *p);

// A decimal number as text: optional sign, digits, one '.' or ',' with digits, optionally an
// exponent; surrounding blanks allowed. Locale-independent.
std::optional<double> parseDecimal(std::string_view text);
// A whole decimal number (optional sign, digits), surrounding blanks allowed.
std::optional<std::int64_t> parseWhole(std::string_view text);

// Writers for numeric fields. N/F: right-aligned, '.' as the decimal point, exactly the
// declared decimals; false when wider than the field (nothing is written then).
bool putInteger(const DbfFieldInfo &f, char *p, std::int64_t value);
bool putDouble(const DbfFieldInfo &f, char *p, double value);
// Character field: cut to the width, padded with blanks.
void putText(const DbfFieldInfo &f, char *p, std::string_view bytes);
void putLogical(const DbfFieldInfo &f, char *p, bool value);

// The shortest decimal text that reads back as the same double ("3.25", "-0.5", "12").
std::string shortestDecimal(double value);

} // namespace DbfField
