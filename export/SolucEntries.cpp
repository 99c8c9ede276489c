#include "export/SolucEntries.h"

#include "platform/DbfTable.h"

void SolucEntries::read(DbfTable &soluc) {
    const QString PROF = QStringLiteral("PROF");
    const QString DIA = QStringLiteral("DIA");
    const QString HORA = QStringLiteral("HORA");
    const QString ASIG = QStringLiteral("ASIG");
    const QString CODGRUPO = QStringLiteral("CODGRUPO");
    const QString TAREA = QStringLiteral("TAREA");
    const QString AULA = QStringLiteral("AULA");

    m_byTeacher.clear();
    // SOLUC usually lists a teacher's entries together: the last teacher's list is at hand.
    std::vector<SolucEntry> *list = nullptr;
    std::string listTeacher;
    for (soluc.first(); !soluc.eof(); soluc.next()) {
        const AnsiText teacher = soluc.text(PROF);
        SolucEntry entry;
        entry.day = soluc.integer(DIA);
        if (entry.day == 0)
            continue;
        entry.slot = soluc.integer(HORA);
        entry.subject = soluc.text(ASIG);
        entry.group = soluc.text(CODGRUPO);
        entry.activity = soluc.text(TAREA);
        entry.room = soluc.text(AULA);
        if (!list || teacher.bytes() != listTeacher) {
            listTeacher = teacher.bytes();
            list = &m_byTeacher[listTeacher]; // the map's values stay where they are
        }
        list->push_back(std::move(entry));
    }
}

const std::vector<SolucEntry> &SolucEntries::placed(const AnsiText &teacher) const {
    static const std::vector<SolucEntry> none;
    const auto it = m_byTeacher.find(teacher.bytes());
    return it == m_byTeacher.end() ? none : it->second;
}
