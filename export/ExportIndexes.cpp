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

template <class M, class K> auto *find(const M &map, const K &key) {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

// Calls add for every visible record from the first; add keeps only the first of each key.
template <class F> void scan(DbfTable &table, F add) {
    for (table.first(); !table.eof(); table.next())
        add();
}

} // namespace

const AssignmentCodes *ExportIndexes::assignment(const AnsiText &subject, const AnsiText &group) {
    if (!m_assignments) {
        Map<AssignmentCodes> map;
        DbfTable &t = m_tables.Asig;
        scan(t, [&] {
            map.try_emplace(pairKey(t.text(CASIG), t.text(CGRUP)),
                            AssignmentCodes{t.text(CLAVE), t.text(CLAVECURSO)});
        });
        m_assignments = std::move(map);
    }
    return find(*m_assignments, pairKey(subject, group));
}

const AnsiText *ExportIndexes::activity(const AnsiText &subject) {
    if (!m_activities) {
        Map<AnsiText> map;
        DbfTable &t = m_tables.NomAsg;
        scan(t, [&] { map.try_emplace(t.text(COD).bytes(), t.text(CODTAREA)); });
        m_activities = std::move(map);
    }
    return find(*m_activities, subject.bytes());
}

const SlotCodes *ExportIndexes::slot(const AnsiText &key) {
    if (!m_slots) {
        Map<SlotCodes> map;
        DbfTable &t = m_tables.Tramos;
        scan(t, [&] {
            map.try_emplace(t.text(DIHO).bytes(),
                            SlotCodes{t.text(DIA), t.text(CODDIHO), t.text(HORADESDE), t.text(HORAHASTA)});
        });
        m_slots = std::move(map);
    }
    return find(*m_slots, key.bytes());
}

const SlotCodes *ExportIndexes::slotOf(int day, int slot) {
    const std::string dayText = std::to_string(day);
    const SlotCodes *found = this->slot(AnsiText::ascii(dayText + std::to_string(slot)));
    return found && found->day.bytes() == dayText ? found : nullptr;
}

const GroupCodes *ExportIndexes::group(const AnsiText &abbreviation) {
    if (!m_groups) {
        Map<GroupCodes> map;
        DbfTable &t = m_tables.Grupos;
        scan(t, [&] { map.try_emplace(t.text(ABREV).bytes(), GroupCodes{t.text(CLAVE), t.text(CLAVECURSO)}); });
        m_groups = std::move(map);
    }
    return find(*m_groups, abbreviation.bytes());
}

const AnsiText *ExportIndexes::subjectByOffer(const AnsiText &subject, const AnsiText &offer) {
    if (!m_subjectsByOffer) {
        Map<AnsiText> map;
        DbfTable &t = m_tables.NomAsg2;
        scan(t, [&] { map.try_emplace(pairKey(t.text(COD), t.text(OFERTAMATRI)), t.text(MATERIA)); });
        m_subjectsByOffer = std::move(map);
    }
    return find(*m_subjectsByOffer, pairKey(subject, offer));
}
