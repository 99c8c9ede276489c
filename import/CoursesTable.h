#pragma once
// The host's courses table CURSOST: written by the courses step, completed by the user in
// the level-and-course dialog (or by the command-line tool's courses file), read by the
// groups step.

#include "platform/DbfTable.h"

#include <QString>
#include <vector>

namespace CoursesTable {
inline const QString Name = QStringLiteral("CURSOST");
inline const QString Abrev = QStringLiteral("ABREV");
inline const QString Turno = QStringLiteral("TURNO");
inline const QString Nivel = QStringLiteral("NIVEL");
inline const QString Curso = QStringLiteral("CURSO");
inline const QString Clave = QStringLiteral("CLAVE");
inline const QString Estud = QStringLiteral("ESTUD");

constexpr int NivelWidth = 5;
constexpr int CursoWidth = 3;
constexpr int ClaveWidth = 10;
constexpr int EstudWidth = 80;

// In the order the host expects them.
inline std::vector<DbfFieldDef> fields() {
    return {
        {Abrev, DbfFieldType::Character, 3},
        {Turno, DbfFieldType::Character, 1},
        {Nivel, DbfFieldType::Character, NivelWidth},
        {Curso, DbfFieldType::Character, CursoWidth},
        {Clave, DbfFieldType::Character, ClaveWidth},
        {Estud, DbfFieldType::Character, EstudWidth},
    };
}
} // namespace CoursesTable
