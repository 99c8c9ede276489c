#pragma once
// The field names (nombre_dato) of Séneca's export for timetable programs, every data group's.

#include <algorithm>
#include <iterator>
#include <string_view>

inline constexpr std::string_view SenecaFieldNames[] = {
    "C_ANNO",         "F_INIHORREG",   "F_FINHORREG", "X_OFERTAMATRIG", "D_OFERTAMATRIG", "D_MATERIAC",
    "X_MATERIAOMG",   "N_HORAS",       "L_REGULAR",   "X_ACTIVIDAD",    "D_ACTIVIDAD",    "L_REQUNIDAD",
    "L_REQMATERIA",   "X_DEPENDENCIA", "D_DEPENDENCIA", "X_PLAJORESCCEN", "C_NOMBRE",     "X_TRAMO",
    "T_HORCEN",       "N_INICIO",      "N_FIN",       "X_UNIDAD",       "T_NOMBRE",       "X_EMPLEADO",
    "F_TOMAPOS",      "D_PUESTO",      "APELLIDO1",   "APELLIDO2",      "NOMBRE",
};

inline bool IsSenecaFieldName(std::string_view name) {
    return std::find(std::begin(SenecaFieldNames), std::end(SenecaFieldNames), name) != std::end(SenecaFieldNames);
}
