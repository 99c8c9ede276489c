#pragma once
// The nine tables the export opens, in the order it opens them. All nine must exist, even
// CURSOST and AULAT, which it only opens and closes: opening them exclusively makes sure the
// host has released every timetable table before anything is read.

#include "platform/DbfTable.h"

#include <QString>

struct ExportTables {
    DbfTable Soluc;    // SOLUC: the host's solved timetable
    DbfTable Grupos;   // GRUPOST
    DbfTable Cursos;   // CURSOST (opened and closed only)
    DbfTable Profesor; // PROFT
    DbfTable Aulas;    // AULAT (opened and closed only)
    DbfTable NomAsg;   // ASIGNOMT
    DbfTable NomAsg2;  // ASIGNOMT2
    DbfTable Tramos;   // DIASHORAST
    DbfTable Asig;     // ASIGT

    ExportTables() = default;
    ExportTables(const ExportTables &) = delete;
    ExportTables &operator=(const ExportTables &) = delete;
    // Releases whatever is still open, so an error half-way leaves no table held.
    ~ExportTables();

    // Opens all nine (for exclusive use unless told otherwise); the first that fails throws,
    // and the ones already open stay open until close() or destruction.
    void open(const QString &folder, DbfTable::Mode mode = DbfTable::Mode::Exclusive);
    void close();
};
