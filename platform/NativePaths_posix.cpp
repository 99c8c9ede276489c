#include "platform/NativePaths.h"

#include <QDir>

QString DefaultWorkFolder() { return QDir::home().filePath(QStringLiteral("ZTEMP")); }

qsizetype FolderPartLength(const QString &path) {
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
}
