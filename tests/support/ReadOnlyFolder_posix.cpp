#include "support/ReadOnlyFolder.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

namespace {

// The test's own mount namespace, entered once; mounts made in it stay inside it.
bool privateMounts(QString &why) {
    static int result = -1;
    static QString reason;
    if (result < 0) {
        result = unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!result)
            reason = QStringLiteral("no mount namespace: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    why = reason;
    return result == 1;
}

} // namespace

bool TestSupport::MakeReadOnly(const QString &folder, QString &why) {
    if (!privateMounts(why))
        return false;
    const QByteArray path = QFile::encodeName(folder);
    if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        why = QStringLiteral("read-only bind mount refused: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        umount2(path.constData(), MNT_DETACH);
        return false;
    }
    return true;
}

void TestSupport::EndReadOnly(const QString &folder) { umount2(QFile::encodeName(folder).constData(), MNT_DETACH); }
