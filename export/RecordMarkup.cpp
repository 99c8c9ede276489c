#include "export/RecordMarkup.h"

namespace {

// Values are taken up to their first NUL, as the serializer reads C strings.
std::string_view upToNul(const std::string &value) {
    const size_t end = value.find('\0');
    return std::string_view(value).substr(0, end);
}

void appendText(std::string &out, const std::string &value) {
    for (const char c : upToNul(value)) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
}

void appendAttribute(std::string &out, const char *name, const std::string &value) {
    out += ' ';
    out += name;
    out += "=\"";
    for (const char c : upToNul(value)) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case '\t': out += "&#9;"; break;
        default: out += c;
        }
    }
    out += '"';
}

} // namespace

void AppendRecordMarkup(std::string &out, const RecordGroup &group) {
    out += "<grupo_datos";
    appendAttribute(out, "seq", group.seq);
    if (group.registros >= 0)
        appendAttribute(out, "registros", std::to_string(group.registros));
    if (group.datos.empty() && group.groups.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    for (const RecordDato &dato : group.datos) {
        out += "<dato";
        appendAttribute(out, "nombre_dato", dato.name);
        // An empty value has no text node, so the element is written empty; a value that
        // begins with NUL has one, whose text is empty.
        if (dato.value.empty()) {
            out += "/>";
            continue;
        }
        out += '>';
        appendText(out, dato.value);
        out += "</dato>";
    }
    for (const RecordGroup &inner : group.groups)
        AppendRecordMarkup(out, inner);
    out += "</grupo_datos>";
}
