#include "export/ExportTables.h"

namespace {
struct Entry {
    DbfTable ExportTables::*table;
    const char *name;
};
constexpr Entry OpenOrder[] = {
    {&ExportTables::Soluc, "SOLUC"},       {&ExportTables::Grupos, "GRUPOST"},
    {&ExportTables::Cursos, "CursosT"},    {&ExportTables::Profesor, "PROFT"},
    {&ExportTables::Aulas, "AULAT"},       {&ExportTables::NomAsg, "ASIGNOMT"},
    {&ExportTables::NomAsg2, "ASIGNOMT2"}, {&ExportTables::Tramos, "DIASHORAST"},
    {&ExportTables::Asig, "ASIGT"},
};
} // namespace

void ExportTables::open(const QString &folder, DbfTable::Mode mode) {
    for (const Entry &e : OpenOrder)
        (this->*e.table).open(folder, QString::fromLatin1(e.name), mode);
}

void ExportTables::close() {
    for (const Entry &e : OpenOrder)
        if ((this->*e.table).isOpen())
            (this->*e.table).close();
}

ExportTables::~ExportTables() {
    // Reached after an error: the table objects release their files in their own destructors
    // whatever a failing close reports, and that report must not replace the first error.
    try {
        close();
    } catch (...) {
    }
}
