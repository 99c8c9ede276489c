#pragma once
// The data groups of a Séneca export for timetable programs, which the Séneca reader's fuzz
// target selects (the field names are the program's own, seneca/SenecaFieldNames.h).

namespace Fuzz {
inline constexpr const char *GroupNames[] = {
    "ANNO_ACADEMICO", "CURSOS_DEL_CENTRO", "MATERIAS",  "ACTIVIDADES", "DEPENDENCIAS",
    "JORNADAS_ESCOLARES", "TRAMOS_HORARIOS", "UNIDADES", "EMPLEADOS",  "HORARIOS_REGULARES",
};
} // namespace Fuzz
