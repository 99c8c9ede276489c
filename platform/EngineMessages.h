#pragma once
// The table engine's fixed texts that the rest of the program shows or compares: the engine's
// own errors, used exactly as they stand on every platform.

#include <QString>

namespace EngineMsg {
inline const QString NotInEditMode = QStringLiteral("La fuente de datos no está en modo de edición o inserción");
// %1: the text that failed to convert.
inline const QString NotAnInteger = QStringLiteral("'%1' no es un valor entero válido");
// %1: the table's name; %2: its file. Another open holds the table's lock.
inline const QString TableBusy = QStringLiteral("La tabla %1 está en uso por otro programa (%2)");
} // namespace EngineMsg
