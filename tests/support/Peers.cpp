#include "support/Peers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace Peers {

QString pascalProgram(const QString &name, const QString &binDir) {
    const QString exe = QDir(binDir).filePath(name);
    const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
    if (!QFile::exists(exe) && !fpc.isEmpty()) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(fpc, {QStringLiteral("-O1"), QStringLiteral("-FE") + binDir, QStringLiteral("-FU") + binDir,
                      QStringLiteral(TVS_SOURCE_DIR) + QStringLiteral("/tests/peers/") + name + QStringLiteral(".pas")});
        if (!p.waitForFinished(240000) || p.exitCode() != 0)
            qWarning("%s", p.readAll().constData());
    }
    return QFile::exists(exe) ? exe : QString();
}

QByteArray run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return {};
    }
    return p.readAllStandardOutput();
}

} // namespace Peers
