#include "report/SenecaExport.h"

namespace {

const AnsiText &emptyText() {
    static const AnsiText empty;
    return empty;
}

SenecaGroup readGroup(const SenecaDocument &document, const char *name, size_t width) {
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
        for (size_t p = 0; p < width; ++p)
            record.values.push_back(DatoValue(datos, static_cast<int>(p)));
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
        e.year = DatoValue(datos, 0);
        e.start = DatoValue(datos, 1);
        e.end = DatoValue(datos, 2);
    }
    e.courses = readGroup(document, "CURSOS_DEL_CENTRO", 2);
    e.courses.index(0);
    e.activities = readGroup(document, "ACTIVIDADES", 5);
    e.activities.index(1);
    e.rooms = readGroup(document, "DEPENDENCIAS", 2);
    e.rooms.index(0);
    e.days = readGroup(document, "JORNADAS_ESCOLARES", 4);
    e.timeSlots = readGroup(document, "TRAMOS_HORARIOS", 4);
    e.timeSlots.index(0);
    e.units = readGroup(document, "UNIDADES", 3);
    e.units.index(0);
    e.staff = readGroup(document, "EMPLEADOS", 6);
    e.staff.index(0);

    // The subjects step tells name and identifier apart by the names of the second and third
    // dato; the same test here, so the codes are those the import kept.
    e.subjects.present = !document.xml().selectOne("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"MATERIAS\"]").isNull();
    const XmlNodeList records = document.SelectRecords(GroupRecordsPath("MATERIAS").c_str());
    for (int i = 0; i < records.length(); ++i) {
        const DatoList datos = Datos(records.item(i));
        SenecaRecord record;
        record.seq = QString::fromStdString(records.item(i).attribute("seq"));
        record.datos = datos.count();
        AnsiText name, id;
        if (DatoNameIs(datos, 2, AnsiText::ascii("X_MATERIAOMG")))
            id = DatoValue(datos, 2);
        else
            name = DatoValue(datos, 2);
        if (DatoNameIs(datos, 1, AnsiText::ascii("D_MATERIAC")))
            name = DatoValue(datos, 1);
        else
            id = DatoValue(datos, 1);
        record.values = {DatoValue(datos, 0), name, id};
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
