#include "platform/NativePaths.h"

QString DefaultWorkFolder() { return QStringLiteral("C:/ZTEMP"); }

qsizetype FolderPartLength(const QString &path) {
    const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return std::max(separator, path.lastIndexOf(QLatin1Char(':'))) + 1;
}
