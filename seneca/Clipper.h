#pragma once
// Small text routines on single-byte table text. A blank is code 32 and nothing else;
// a capital is A to Z only (Á, É, Ñ are not).

#include "platform/AnsiText.h"

namespace Clipper {
AnsiText LTrim(const AnsiText &text);
AnsiText RTrim(const AnsiText &text);
AnsiText AllTrim(const AnsiText &text);
AnsiText CapitalsOnly(const AnsiText &text);
// For each blank that is not the last character, the character right after it.
AnsiText LettersAfterBlanks(const AnsiText &text);
// Empty after removing leading and trailing characters with codes up to 32 (the course check).
bool IsBlankText(const AnsiText &text);
} // namespace Clipper
