#pragma once
// One thing a check found, as the report shows it to a timetable coordinator.

#include <QString>

enum class FindingLevel {
    Error, // Séneca would reject it, or it is certainly wrong
    Aviso, // probably wrong
    Nota,  // worth knowing
};

struct Finding {
    FindingLevel level;
    QString kind; // what sort of finding, the heading it is listed under ("Unidad desconocida")
    QString text; // the case itself, naming teacher, day, slot, unit, subject and room by name and code
};

// "error", "aviso", "nota"
QString LevelName(FindingLevel level);
// "Errores", "Avisos", "Notas": the heading of a level's findings.
QString LevelHeading(FindingLevel level);
// "1 error", "3 avisos", "0 notas"
QString CountedLevel(FindingLevel level, int n);
