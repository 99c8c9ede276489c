#pragma once
// A document that declares a single-byte encoding (ISO-8859-1, Windows-1252) but whose bytes
// are UTF-8, as a program that re-saved a Séneca file may leave it: read as declared, every
// accented letter would become two ("Ã³" for "ó").

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct MislabelledUtf8 {
    int line = 0;        // of the first UTF-8 character above ASCII, from 1
    std::string sample;  // the text around it, in UTF-8
};

// Found when `declared` names ISO-8859-1 or Windows-1252 and the bytes hold at least one UTF-8
// sequence above ASCII and nothing that is not UTF-8. A document with bytes that are not UTF-8
// is taken as declared (a Latin-1 text where "Ã" is followed by a symbol stays Latin-1).
std::optional<MislabelledUtf8> FindMislabelledUtf8(std::string_view bytes, std::string_view declared);
