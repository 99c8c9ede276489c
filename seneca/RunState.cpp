#include "seneca/RunState.h"

#include "platform/NativePaths.h"

#include <QCoreApplication>
#include <QDir>

Paths Paths::defaults() {
    Paths p;
    p.exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString fromEnv = qEnvironmentVariable("ZTEMP");
    p.workDir = fromEnv.isEmpty() ? DefaultWorkFolder() : fromEnv;
    p.dialogDir = QDir(p.workDir).filePath(QStringLiteral("seneca"));
    p.catalogPath = QDir(p.exeDir).filePath(QStringLiteral("SENEMATERIAS.DBF"));
    p.iniPath = QDir(p.exeDir).filePath(QStringLiteral("Zetarium.ini"));
    return p;
}

void SubjectSets::clear() {
    UsedCodes.clear();
    SeenLongCodes.clear();
    SeenNames.clear();
    SeenLongCodeNames.clear();
}
