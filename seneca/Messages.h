#pragma once
// The converter's own fixed texts, used exactly as they stand. Tests compare them literally.

#include "platform/EngineMessages.h"

#include <QString>

namespace Msg {
inline const QString NoFile = QStringLiteral("No existe archivo");
inline const QString Finished = QStringLiteral("Proceso finalizado");
inline const QString MissingData = QStringLiteral("¡Atención! Falta algún Dato");
inline const QString NoPeriods =
    QStringLiteral("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA.");
// The table engine's errors, which the program also raises itself.
using EngineMsg::NotAnInteger;
using EngineMsg::NotInEditMode;
} // namespace Msg
