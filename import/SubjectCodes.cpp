#include "import/SubjectCodes.h"

#include "seneca/Clipper.h"

#include <string>

namespace SubjectCodes {

static bool isCapital(unsigned char c) { return c >= 'A' && c <= 'Z'; }

AnsiText codeFromName(const AnsiText &name) {
    AnsiText code;
    if (!name.isEmpty() && !isCapital(name.at(0)))
        code += static_cast<char>(name.at(0));
    code += Clipper::CapitalsOnly(name);
    if (code.size() == 1)
        code = name.contains(' ') ? name.left(1) + Clipper::LettersAfterBlanks(name) : name.left(6);
    return code;
}

AnsiText longCodeFor(const AnsiText &code, const AnsiText &name) {
    return code.size() <= 4 ? name.left(10) : code;
}

// The form in which a numbered candidate reaches the table: one longer than CodeWidth keeps
// its first 8 characters and its last 2 (the number up to 99). From 100 on the 8 + 2 form
// would only repeat earlier candidates, so there the number is kept whole after as much of
// the base as fits; that way the search always ends.
static AnsiText candidate(const AnsiText &base, long long n) {
    const AnsiText number = AnsiText::ascii(std::to_string(n));
    const AnsiText whole = base + number;
    if (whole.size() <= CodeWidth)
        return whole;
    if (number.size() <= 2)
        return whole.left(8) + whole.right(2);
    return base.left(CodeWidth - number.size()) + number;
}

AnsiText uniqueCode(const AnsiText &code, const std::set<AnsiText> &used) {
    if (!used.contains(code))
        return code.left(CodeWidth);
    const AnsiText base = code.left(code.size() - 1);
    for (long long n = 1;; ++n) {
        const AnsiText next = candidate(base, n);
        if (!used.contains(next))
            return next;
    }
}

} // namespace SubjectCodes
