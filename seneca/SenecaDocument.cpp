#include "seneca/SenecaDocument.h"

#include "platform/RunError.h"
#include "seneca/Clipper.h"
#include "seneca/SenecaFieldNames.h"

#include <QDir>
#include <string>

namespace {

// "<dato nombre_dato=\"" takes positions 1 to 19 of the markup, so the name starts at 20.
constexpr int NameStart = 19; // counted from 0

// A value is read from its first 64 KiB: every table field is far narrower, and a value of
// megabytes (a broken or hostile file) must not be copied whole at every read.
constexpr size_t MaxValueBytes = 64 * 1024;

} // namespace

void SenecaDocument::load(const QString &path) { load(path, {}); }

void SenecaDocument::load(const QString &path, const XmlDocument::ThirdLevelSink &sink) {
    m_xml = XmlDocument();
    m_path = path;
    m_subjectRecords.reset();
    if (m_xml.load(path, sink))
        return;
    const XmlDocument::ParseError &error = m_xml.parseError();
    const QString shown = QDir::toNativeSeparators(path);
    if (error.unreadable)
        throw RunError(QStringLiteral("No se puede leer el archivo «%1» (%2).").arg(shown, error.reason));
    throw RunError(QStringLiteral("El archivo «%1» no es un documento XML válido (línea %2: %3).")
                       .arg(shown)
                       .arg(error.line)
                       .arg(error.reason));
}

XmlNodeList SenecaDocument::SelectRecords(const char *path) const { return m_xml.select(path); }

const std::vector<SubjectRecord> &SenecaDocument::SubjectRecords() const {
    if (!m_subjectRecords) {
        std::vector<SubjectRecord> read;
        const XmlNodeList records = SelectRecords(GroupRecordsPath("MATERIAS").c_str());
        for (int i = 0; i < records.length(); ++i) {
            const DatoList datos = Datos(records.item(i));
            if (datos.count() < 2)
                continue;
            const SubjectNameAndId nameAndId = ReadSubjectNameAndId(datos);
            read.push_back({DatoField(datos, 0, "X_OFERTAMATRIG"), nameAndId.id, nameAndId.name});
        }
        m_subjectRecords = std::move(read);
    }
    return *m_subjectRecords;
}

DatoList Datos(const XmlNode &record) { return DatoList(record.childElements("dato")); }

AnsiText DatoValue(const DatoList &list, int position) {
    std::string utf8 = list.item(position).textPrefix(MaxValueBytes + 1);
    if (utf8.size() > MaxValueBytes) {
        // Cut where a character starts, never inside one.
        size_t end = MaxValueBytes;
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        utf8.resize(end);
    }
    return Clipper::AllTrim(AnsiText::fromUtf8(utf8));
}

AnsiText DatoField(const DatoList &list, int position, const char *name) {
    const XmlNode atPosition = list.item(position);
    if (atPosition.attributeIs("nombre_dato", name))
        return DatoValue(list, position);
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i).attributeIs("nombre_dato", name))
            return DatoValue(list, i);
    // The field is missing: its position holds another Séneca field, which is never taken for it.
    if (IsSenecaFieldName(atPosition.attribute("nombre_dato")))
        return AnsiText();
    return DatoValue(list, position);
}

SubjectNameAndId ReadSubjectNameAndId(const DatoList &list) {
    SubjectNameAndId r;
    if (NamesField(list, "D_MATERIAC") || NamesField(list, "X_MATERIAOMG")) {
        r.name = DatoField(list, 1, "D_MATERIAC");
        r.id = DatoField(list, 2, "X_MATERIAOMG");
        return r;
    }
    if (DatoNameIs(list, 2, AnsiText::ascii("X_MATERIAOMG")))
        r.id = DatoValue(list, 2);
    else
        r.name = DatoValue(list, 2);
    if (DatoNameIs(list, 1, AnsiText::ascii("D_MATERIAC")))
        r.name = DatoValue(list, 1);
    else
        r.id = DatoValue(list, 1);
    return r;
}

bool NamesField(const DatoList &list, const char *name) {
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i).attributeIs("nombre_dato", name))
            return true;
    return false;
}

bool DatoNameIs(const DatoList &list, int position, const AnsiText &name) {
    const XmlNode dato = list.item(position);
    if (dato.isNull())
        return false;
    // Only the first NameStart + name.size() characters count, and a character takes at most
    // 4 bytes of UTF-8: the markup is serialized no further than that.
    const size_t wanted = 4 * static_cast<size_t>(NameStart + name.size());
    const std::string utf8 = dato.markupPrefix(wanted);
    AnsiText markup = AnsiText::fromUtf8(utf8);
    // Markup that starts with '<' ends with '>' when whole, so trimming leaves it as it is;
    // only an element's can be cut short, and its cut end must not be trimmed. Any other
    // (a text's) is whole.
    if (utf8.empty() || utf8.front() != '<')
        markup = Clipper::AllTrim(markup);
    return markup.mid(NameStart, name.size()) == name;
}

std::string GroupRecordsPath(const char *groupName) {
    return std::string("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"") + groupName + "\"]/grupo_datos";
}
