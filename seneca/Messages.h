#pragma once
// The converter's own fixed texts, used exactly as they stand. Tests compare them literally.

#include <QString>

namespace Msg {
inline const QString NoFile = QStringLiteral("No existe archivo");
inline const QString Finished = QStringLiteral("Proceso finalizado");
inline const QString MissingData = QStringLiteral("¡Atención! Falta algún Dato");
inline const QString NoPeriods =
    QStringLiteral("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA.");
inline const QString NotInEditMode = QStringLiteral("La fuente de datos no está en modo de edición o inserción");
// %1: the text that failed to convert.
inline const QString NotAnInteger = QStringLiteral("'%1' no es un valor entero válido");
} // namespace Msg
