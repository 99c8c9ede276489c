#include "seneca/Clipper.h"

namespace Clipper {

AnsiText LTrim(const AnsiText &text) {
    int start = 0;
    while (start < text.size() && text.at(start) == ' ')
        ++start;
    return text.mid(start);
}

AnsiText RTrim(const AnsiText &text) {
    int end = text.size();
    while (end > 0 && text.at(end - 1) == ' ')
        --end;
    return text.left(end);
}

AnsiText AllTrim(const AnsiText &text) { return LTrim(RTrim(text)); }

AnsiText CapitalsOnly(const AnsiText &text) {
    AnsiText out;
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) >= 'A' && text.at(i) <= 'Z')
            out += static_cast<char>(text.at(i));
    return out;
}

AnsiText LettersAfterBlanks(const AnsiText &text) {
    AnsiText out;
    for (int i = 0; i + 1 < text.size(); ++i)
        if (text.at(i) == ' ')
            out += static_cast<char>(text.at(i + 1));
    return out;
}

bool IsBlankText(const AnsiText &text) {
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) > 32)
            return false;
    return true;
}

} // namespace Clipper
