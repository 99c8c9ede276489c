#include "platform/DbfFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

DbfFile::Result DbfFile::open(const QString &path, bool exclusive) {
    close();
    const QByteArray native = QFile::encodeName(path);
    m_readOnly = false;
    m_fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        m_fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        m_readOnly = m_fd >= 0;
    }
    if (m_fd < 0) {
        m_errno = errno;
        return Result::Failed;
    }
    int rc;
    do
        rc = ::flock(m_fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        // A file system without locks (ENOLCK, EOPNOTSUPP) is used unlocked rather than refused.
        if (err == EWOULDBLOCK || (err != ENOLCK && err != EOPNOTSUPP && err != EINVAL)) {
            close();
            m_errno = err;
            return err == EWOULDBLOCK ? Result::Busy : Result::Failed;
        }
    }
    return Result::Ok;
}

void DbfFile::close() {
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
    m_fd = -1;
}

bool DbfFile::size(std::int64_t &out) {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        m_errno = errno;
        return false;
    }
    out = st.st_size;
    return true;
}

bool DbfFile::readAt(std::int64_t offset, char *buffer, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::pread(m_fd, buffer, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_errno = n == 0 ? EIO : errno;
            return false;
        }
        buffer += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool DbfFile::writeAt(std::int64_t offset, const char *buffer, std::size_t count) {
    if (m_readOnly) {
        m_errno = EBADF;
        return false;
    }
    while (count > 0) {
        const ssize_t n = ::pwrite(m_fd, buffer, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_errno = n == 0 ? EIO : errno;
            return false;
        }
        buffer += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

QString DbfFile::error() const { return describe(m_errno); }

QString DbfFile::describe(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso de acceso");
    case EBADF:
        return QStringLiteral("el archivo solo se puede leer");
    case ENOSPC:
        return QStringLiteral("no queda espacio en el disco");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOENT:
        return QStringLiteral("el archivo no existe");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    case EWOULDBLOCK:
        return QStringLiteral("el archivo está en uso");
    default:
        return QStringLiteral("error del sistema %1").arg(err);
    }
}
