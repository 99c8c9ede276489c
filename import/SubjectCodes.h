#pragma once
// How the subjects step turns a subject name into the timetable's codes when the catalogue
// has none, and how it keeps short codes apart. Short codes are at most 10 characters, the
// width of ASIGNOMT's COD; long codes are never made unique.

#include "platform/AnsiText.h"

#include <set>

namespace SubjectCodes {

constexpr int CodeWidth = 10;

// The short code formed from a non-empty name: its first character when that is not a
// capital A-Z, then its capitals A-Z; a lone character grows into the name's first letter
// plus the letters after its blanks, or, for a name without blanks, its first 6 characters.
// The result may be longer than CodeWidth.
AnsiText codeFromName(const AnsiText &name);

// The long code when the catalogue gives none: the name's first 10 characters for a short
// code of at most 4 characters, otherwise the code itself (which may exceed 10 characters).
AnsiText longCodeFor(const AnsiText &code, const AnsiText &name);

// A code of at most CodeWidth characters that is not in `used`: the code itself when free;
// otherwise the code without its last character followed by 1, 2, 3 ..., a candidate longer
// than CodeWidth written as its first 8 characters plus its last 2 (beyond 99: as much of
// the base as fits, then the whole number). Every candidate is tested in the form it would
// be written in, so a shortened one never repeats a code already given.
AnsiText uniqueCode(const AnsiText &code, const std::set<AnsiText> &used);

} // namespace SubjectCodes
