#include "export/RecordMarkup.h"

#include <array>

namespace {

// Values are taken up to their first NUL, as the serializer reads C strings.
std::string_view upToNul(const std::string &value) {
    const size_t end = value.find('\0');
    return std::string_view(value).substr(0, end);
}

using CharacterSet = std::array<bool, 256>;

CharacterSet characterSet(std::string_view characters) {
    CharacterSet set{};
    for (const char c : characters)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

// Appends the value with each character of the set replaced by its escape; the runs between
// them go in whole.
void appendEscaped(MarkupBuffer &out, std::string_view value, const CharacterSet &special,
                   const char *(*escape)(char)) {
    size_t from = 0;
    for (size_t at = 0; at < value.size(); ++at) {
        if (!special[static_cast<unsigned char>(value[at])])
            continue;
        out.append(value.substr(from, at - from));
        out.append(escape(value[at]));
        from = at + 1;
    }
    out.append(value.substr(from));
}

const char *textEscape(char c) {
    switch (c) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    default:
        return "&#13;"; // '\r'
    }
}

// An attribute escapes what text does and its quote, line feed and tab as well.
const char *attributeEscape(char c) {
    switch (c) {
    case '"':
        return "&quot;";
    case '\n':
        return "&#10;";
    case '\t':
        return "&#9;";
    default:
        return textEscape(c);
    }
}

void appendText(MarkupBuffer &out, const std::string &value) {
    static const CharacterSet special = characterSet("<>&\r");
    appendEscaped(out, upToNul(value), special, textEscape);
}

template <size_t N> void appendAttribute(MarkupBuffer &out, const char (&name)[N], const std::string &value) {
    out.push(' ');
    out.literal(name);
    out.literal("=\"");
    static const CharacterSet special = characterSet("<>&\"\n\r\t");
    appendEscaped(out, upToNul(value), special, attributeEscape);
    out.push('"');
}

} // namespace

void AppendRecordMarkup(MarkupBuffer &out, const RecordGroup &group) {
    out.literal("<grupo_datos");
    appendAttribute(out, "seq", group.seq);
    if (group.registros >= 0)
        appendAttribute(out, "registros", std::to_string(group.registros));
    if (group.datos.empty() && group.groups.empty()) {
        out.literal("/>");
        return;
    }
    out.push('>');
    for (const RecordDato &dato : group.datos) {
        out.literal("<dato");
        appendAttribute(out, "nombre_dato", dato.name);
        // An empty value has no text node, so the element is written empty; a value that
        // begins with NUL has one, whose text is empty.
        if (dato.value.empty()) {
            out.literal("/>");
            continue;
        }
        out.push('>');
        appendText(out, dato.value);
        out.literal("</dato>");
    }
    for (const RecordGroup &inner : group.groups)
        AppendRecordMarkup(out, inner);
    out.literal("</grupo_datos>");
}
