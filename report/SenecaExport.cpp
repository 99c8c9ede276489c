#include "report/SenecaExport.h"

#include <string>
#include <vector>

namespace {

const AnsiText &emptyText() {
    static const AnsiText empty;
    return empty;
}

// The groups the check reads: where each goes, the fields of its records in the order they
// are stored (each read as the import reads it), and the position it is found by (-1: none).
// MATERIAS is read apart, as the subjects step reads it.
struct GroupReading {
    const char *seq;
    SenecaGroup SenecaExport::*group;
    std::vector<const char *> fields;
    int key;
};

const std::vector<GroupReading> &groupReadings() {
    static const std::vector<GroupReading> readings = {
        {"CURSOS_DEL_CENTRO", &SenecaExport::courses, {"X_OFERTAMATRIG", "D_OFERTAMATRIG"}, 0},
        {"ACTIVIDADES", &SenecaExport::activities, {"L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"}, 1},
        {"DEPENDENCIAS", &SenecaExport::rooms, {"X_DEPENDENCIA", "D_DEPENDENCIA"}, 0},
        {"JORNADAS_ESCOLARES", &SenecaExport::days, {"X_PLAJORESCCEN", "C_NOMBRE", "F_INIHORREG", "F_FINHORREG"}, -1},
        {"TRAMOS_HORARIOS", &SenecaExport::timeSlots, {"X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN"}, 0},
        {"UNIDADES", &SenecaExport::units, {"X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"}, 0},
        {"EMPLEADOS", &SenecaExport::staff, {"X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"}, 0},
    };
    return readings;
}

constexpr char SubjectsSeq[] = "MATERIAS";
constexpr char YearSeq[] = "ANNO_ACADEMICO";

std::string groupPath(const char *seq) { return std::string("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"") + seq + "\"]"; }

// A record's seq and its number of dato, the values left to the caller.
SenecaRecord recordOf(const XmlNode &node, const DatoList &datos) {
    SenecaRecord record;
    record.seq = QString::fromStdString(node.attribute("seq"));
    record.datos = datos.count();
    return record;
}

SenecaRecord readRecord(const XmlNode &node, const std::vector<const char *> &fields) {
    const DatoList datos = Datos(node);
    SenecaRecord record = recordOf(node, datos);
    int position = 0;
    for (const char *field : fields)
        record.values.push_back(DatoField(datos, position++, field));
    return record;
}

// Name and identifier read as the subjects step reads them, so the codes are those the
// import kept.
SenecaRecord readSubject(const XmlNode &node) {
    const DatoList datos = Datos(node);
    SenecaRecord record = recordOf(node, datos);
    const SubjectNameAndId nameAndId = ReadSubjectNameAndId(datos);
    record.values = {DatoField(datos, 0, "X_OFERTAMATRIG"), nameAndId.name, nameAndId.id};
    return record;
}

// Whether an element stands in a data group, /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq], and
// that group's seq.
bool inDataGroup(const XmlNode &element, std::string &seq) {
    const XmlNode group = element.parent();
    const XmlNode block = group.parent();
    if (!group.isElementNamed("grupo_datos") || !block.isElementNamed("BLOQUE_DATOS") ||
        !block.parent().isElementNamed("SERVICIO") || !group.hasAttribute("seq"))
        return false;
    seq = group.attribute("seq");
    return true;
}

// The year group, the indexes, and the presence of every group, once the records are in.
void complete(SenecaExport &e, const SenecaDocument &document) {
    // The school-year group holds its values directly.
    const XmlNode yearGroup = document.xml().selectOne(groupPath(YearSeq).c_str());
    if (!yearGroup.isNull()) {
        e.yearPresent = true;
        const DatoList datos = Datos(yearGroup);
        e.year = DatoField(datos, 0, "C_ANNO");
        e.start = DatoField(datos, 1, "F_INIHORREG");
        e.end = DatoField(datos, 2, "F_FINHORREG");
    }
    for (const GroupReading &reading : groupReadings()) {
        SenecaGroup &group = e.*reading.group;
        group.present = !document.xml().selectOne(groupPath(reading.seq).c_str()).isNull();
        if (reading.key >= 0)
            group.index(static_cast<size_t>(reading.key));
    }
    e.subjects.present = !document.xml().selectOne(groupPath(SubjectsSeq).c_str()).isNull();
    e.subjects.index(SenecaExport::SubjectId);
}

} // namespace

const AnsiText &SenecaRecord::at(size_t position) const {
    return position < values.size() ? values[position] : emptyText();
}

int SenecaGroup::taken() const {
    int n = 0;
    for (const SenecaRecord &r : records)
        n += r.datos >= 2 ? 1 : 0;
    return n;
}

void SenecaGroup::index(size_t keyPosition) {
    m_byKey.clear();
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].datos >= 2)
            m_byKey[records[i].at(keyPosition).bytes()].push_back(i);
}

const SenecaRecord *SenecaGroup::find(const AnsiText &code) const {
    const auto it = m_byKey.find(code.bytes());
    return it == m_byKey.end() ? nullptr : &records[it->second.front()];
}

std::vector<const SenecaRecord *> SenecaGroup::all(const AnsiText &code) const {
    std::vector<const SenecaRecord *> out;
    if (const auto it = m_byKey.find(code.bytes()); it != m_byKey.end())
        for (size_t i : it->second)
            out.push_back(&records[i]);
    return out;
}

SenecaExport SenecaExport::read(const SenecaDocument &document) {
    SenecaExport e;
    for (const GroupReading &reading : groupReadings()) {
        const XmlNodeList records = document.SelectRecords(GroupRecordsPath(reading.seq).c_str());
        SenecaGroup &group = e.*reading.group;
        group.records.reserve(static_cast<size_t>(records.length()));
        for (int i = 0; i < records.length(); ++i)
            group.records.push_back(readRecord(records.item(i), reading.fields));
    }
    const XmlNodeList subjects = document.SelectRecords(GroupRecordsPath(SubjectsSeq).c_str());
    for (int i = 0; i < subjects.length(); ++i)
        e.subjects.records.push_back(readSubject(subjects.item(i)));
    complete(e, document);
    return e;
}

SenecaExport SenecaExport::readFile(const QString &path) {
    SenecaExport e;
    std::string seq;
    SenecaDocument document;
    document.load(path, [&](XmlNode record) {
        if (!inDataGroup(record, seq))
            return true;
        if (seq == YearSeq)
            return false; // the values of the year group, read from the loaded document
        if (!record.isElementNamed("grupo_datos"))
            return true;
        if (seq == SubjectsSeq) {
            e.subjects.records.push_back(readSubject(record));
            return true;
        }
        for (const GroupReading &reading : groupReadings())
            if (seq == reading.seq)
                (e.*reading.group).records.push_back(readRecord(record, reading.fields));
        return true;
    });
    complete(e, document);
    return e;
}

QString Named(const AnsiText &name, const AnsiText &code) {
    if (name.isEmpty())
        return QStringLiteral("«%1»").arg(code.toQString());
    return QStringLiteral("%1 (%2)").arg(name.toQString(), code.toQString());
}
