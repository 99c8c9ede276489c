#include "export/ExportIndexes.h"

#include "export/ExportTables.h"

#include <string>

namespace {

const QString CASIG = QStringLiteral("CASIG");
const QString CGRUP = QStringLiteral("CGRUP");
const QString CLAVE = QStringLiteral("CLAVE");
const QString CLAVECURSO = QStringLiteral("CLAVECURSO");
const QString COD = QStringLiteral("COD");
const QString CODTAREA = QStringLiteral("CODTAREA");
const QString DIHO = QStringLiteral("DIHO");
const QString DIA = QStringLiteral("DIA");
const QString CODDIHO = QStringLiteral("CODDIHO");
const QString HORADESDE = QStringLiteral("HORADESDE");
const QString HORAHASTA = QStringLiteral("HORAHASTA");
const QString ABREV = QStringLiteral("ABREV");
const QString OFERTAMATRI = QStringLiteral("OFERTAMATRI");
const QString MATERIA = QStringLiteral("MATERIA");

// Fills the map from every visible record, from the first; the map keeps only the first value
// of each key. It is sized for every record at once, so it is never rebuilt while it grows.
template <class V, class F> FirstMatchIndex<V> scan(DbfTable &table, F entry) {
    FirstMatchIndex<V> map(static_cast<size_t>(table.recordCount()));
    for (table.first(); !table.eof(); table.next()) {
        auto [key, value] = entry();
        map.add(std::move(key), std::move(value));
    }
    return map;
}

} // namespace

const AssignmentCodes *ExportIndexes::assignment(const AnsiText &subject, const AnsiText &group) {
    if (!m_assignments) {
        DbfTable &t = m_tables.Asig;
        m_assignments = scan<AssignmentCodes>(t, [&] {
            return std::pair(pairKey(t.text(CASIG), t.text(CGRUP)), AssignmentCodes{t.text(CLAVE), t.text(CLAVECURSO)});
        });
    }
    return m_assignments->find(pairKey(subject, group));
}

const AnsiText *ExportIndexes::activity(const AnsiText &subject) {
    if (!m_activities) {
        DbfTable &t = m_tables.NomAsg;
        m_activities = scan<AnsiText>(t, [&] { return std::pair(t.text(COD).bytes(), t.text(CODTAREA)); });
    }
    return m_activities->find(subject.bytes());
}

const SlotCodes *ExportIndexes::slot(const AnsiText &key) {
    if (!m_slots) {
        DbfTable &t = m_tables.Tramos;
        m_slots = scan<SlotCodes>(t, [&] {
            return std::pair(t.text(DIHO).bytes(),
                             SlotCodes{t.text(DIA), t.text(CODDIHO), t.text(HORADESDE), t.text(HORAHASTA)});
        });
    }
    return m_slots->find(key.bytes());
}

const SlotCodes *ExportIndexes::slotOf(int day, int slot) {
    const std::int64_t key = (static_cast<std::int64_t>(day) << 32) | static_cast<std::uint32_t>(slot);
    const auto known = m_slotOf.find(key);
    if (known != m_slotOf.end())
        return known->second;
    const std::string dayText = std::to_string(day);
    const SlotCodes *found = this->slot(AnsiText::ascii(dayText + std::to_string(slot)));
    if (found && found->day.bytes() != dayText)
        found = nullptr;
    m_slotOf.emplace(key, found);
    return found;
}

const GroupCodes *ExportIndexes::group(const AnsiText &abbreviation) {
    if (!m_groups) {
        DbfTable &t = m_tables.Grupos;
        m_groups = scan<GroupCodes>(t, [&] {
            return std::pair(t.text(ABREV).bytes(), GroupCodes{t.text(CLAVE), t.text(CLAVECURSO)});
        });
    }
    return m_groups->find(abbreviation.bytes());
}

const AnsiText *ExportIndexes::subjectByOffer(const AnsiText &subject, const AnsiText &offer) {
    if (!m_subjectsByOffer) {
        DbfTable &t = m_tables.NomAsg2;
        m_subjectsByOffer =
            scan<AnsiText>(t, [&] { return std::pair(pairKey(t.text(COD), t.text(OFERTAMATRI)), t.text(MATERIA)); });
    }
    return m_subjectsByOffer->find(pairKey(subject, offer));
}
