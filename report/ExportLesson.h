#pragma once
// One entry record of the written document, with the SOLUC entry it was made from, and how
// the check names it for the user.

#include "platform/AnsiText.h"

#include <QString>

#include <initializer_list>
#include <string>

struct ExportLesson {
    int teacher = 0;       // PROFT record, from 0
    QString teacherName;   // "García López Ana (GLA)"
    AnsiText day, slot, room, unit, offer, subject, start, end, activity; // as written
    AnsiText hostSubject, hostGroup; // SOLUC ASIG and CODGRUPO
    QString slotName;      // "1ª hora (422570)"
    QString what;          // "unidad E1A (63948553), materia ..., dependencia ..."

    // "García López Ana (GLA), lunes, 1ª hora (422570)"
    QString where() const;
};

// "lunes" ... "domingo"; the number itself for any other day.
QString DayName(const AnsiText &day);

// One key made of several table texts, each ended by a NUL (table text holds none), so that
// different splits of the same bytes stay apart.
inline std::string JoinedKey(std::initializer_list<const AnsiText *> parts) {
    std::string key;
    for (const AnsiText *p : parts) {
        key += p->bytes();
        key += '\0';
    }
    return key;
}
