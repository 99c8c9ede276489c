#pragma once
// The entry records of an exported document, read back from its file as Séneca will read it.
// The file is walked, not loaded whole: a large school's document is many times the size of
// the values the check needs.

#include "platform/AnsiText.h"

#include <QString>
#include <array>
#include <vector>

struct WrittenTeacher {
    // The eleven values of each entry record, in the order of EntryFields; a value the record
    // lacks reads as empty.
    std::vector<std::array<AnsiText, 11>> entries;
};

inline constexpr const char *EntryFields[11] = {"N_DIASEMANA", "X_TRAMO",  "X_DEPENDENCIA", "X_UNIDAD",
                                                "X_OFERTAMATRIG", "X_MATERIAOMG", "F_INICIO", "F_FIN",
                                                "N_HORINI", "N_HORFIN", "X_ACTIVIDAD"};

// The teacher records of the regular-timetables group, in document order. Throws RunError
// naming the file when it cannot be read or is not well formed.
std::vector<WrittenTeacher> ReadWrittenTimetable(const QString &path);
