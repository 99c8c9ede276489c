#include "report/SenecaExport.h"

#include <initializer_list>

namespace {

const AnsiText &emptyText() {
    static const AnsiText empty;
    return empty;
}

// The values of each record in the order of `fields`, each read as the import reads it.
SenecaGroup readGroup(const SenecaDocument &document, const char *name, std::initializer_list<const char *> fields) {
    SenecaGroup group;
    group.present = !document.xml()
                         .selectOne((std::string("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"") + name + "\"]").c_str())
                         .isNull();
    const XmlNodeList records = document.SelectRecords(GroupRecordsPath(name).c_str());
    group.records.reserve(static_cast<size_t>(records.length()));
    for (int i = 0; i < records.length(); ++i) {
        const DatoList datos = Datos(records.item(i));
        SenecaRecord record;
        record.seq = QString::fromStdString(records.item(i).attribute("seq"));
        record.datos = datos.count();
        int position = 0;
        for (const char *field : fields)
            record.values.push_back(DatoField(datos, position++, field));
        group.records.push_back(std::move(record));
    }
    return group;
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
    // The school-year group holds its values directly.
    const XmlNode yearGroup = document.xml().selectOne("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"ANNO_ACADEMICO\"]");
    if (!yearGroup.isNull()) {
        e.yearPresent = true;
        const DatoList datos = Datos(yearGroup);
        e.year = DatoField(datos, 0, "C_ANNO");
        e.start = DatoField(datos, 1, "F_INIHORREG");
        e.end = DatoField(datos, 2, "F_FINHORREG");
    }
    e.courses = readGroup(document, "CURSOS_DEL_CENTRO", {"X_OFERTAMATRIG", "D_OFERTAMATRIG"});
    e.courses.index(0);
    e.activities = readGroup(document, "ACTIVIDADES", {"L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"});
    e.activities.index(1);
    e.rooms = readGroup(document, "DEPENDENCIAS", {"X_DEPENDENCIA", "D_DEPENDENCIA"});
    e.rooms.index(0);
    e.days = readGroup(document, "JORNADAS_ESCOLARES", {"X_PLAJORESCCEN", "C_NOMBRE", "F_INIHORREG", "F_FINHORREG"});
    e.timeSlots = readGroup(document, "TRAMOS_HORARIOS", {"X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN"});
    e.timeSlots.index(0);
    e.units = readGroup(document, "UNIDADES", {"X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"});
    e.units.index(0);
    e.staff = readGroup(document, "EMPLEADOS", {"X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"});
    e.staff.index(0);

    // Name and identifier read as the subjects step reads them, so the codes are those the
    // import kept.
    e.subjects.present = !document.xml().selectOne("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"MATERIAS\"]").isNull();
    const XmlNodeList records = document.SelectRecords(GroupRecordsPath("MATERIAS").c_str());
    for (int i = 0; i < records.length(); ++i) {
        const DatoList datos = Datos(records.item(i));
        SenecaRecord record;
        record.seq = QString::fromStdString(records.item(i).attribute("seq"));
        record.datos = datos.count();
        const SubjectNameAndId nameAndId = ReadSubjectNameAndId(datos);
        record.values = {DatoField(datos, 0, "X_OFERTAMATRIG"), nameAndId.name, nameAndId.id};
        e.subjects.records.push_back(std::move(record));
    }
    e.subjects.index(SubjectId);
    return e;
}

QString Named(const AnsiText &name, const AnsiText &code) {
    if (name.isEmpty())
        return QStringLiteral("«%1»").arg(code.toQString());
    return QStringLiteral("%1 (%2)").arg(name.toQString(), code.toQString());
}
