#include "seneca/RunState.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

Paths Paths::defaults() {
    Paths p;
    p.exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString fromEnv = qEnvironmentVariable("ZTEMP");
#ifdef Q_OS_WIN
    p.workDir = fromEnv.isEmpty() ? QStringLiteral("C:/ZTEMP") : fromEnv;
#else
    p.workDir = fromEnv.isEmpty() ? QDir::home().filePath(QStringLiteral("ZTEMP")) : fromEnv;
#endif
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
