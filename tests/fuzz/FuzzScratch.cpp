#include "FuzzScratch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

QString scratchFolder(const char *name) {
    // /dev/shm is memory on Linux; elsewhere the system's temporary folder.
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                           : QDir::tempPath();
    const QString folder = QDir(base).filePath(QStringLiteral("tvs-fuzz-%1-%2")
                                                   .arg(QString::fromLatin1(name))
                                                   .arg(QCoreApplication::applicationPid()));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

QString subFolder(const QString &scratch, const QString &name) {
    const QString folder = QDir(scratch).filePath(name);
    QDir().mkpath(folder);
    return folder;
}

void clear(const QString &folder) {
    QDir dir(folder);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(entry.filePath());
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        QDir(entry.filePath()).removeRecursively();
}

void writeFile(const QString &folder, const QString &name, const std::uint8_t *data, std::size_t size) {
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        qFatal("the fuzz target cannot write its scratch file %s", qPrintable(file.fileName()));
}

void silenceQt() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) {
            fprintf(stderr, "%s\n", qPrintable(message));
            std::abort();
        }
    });
}

} // namespace Fuzz
