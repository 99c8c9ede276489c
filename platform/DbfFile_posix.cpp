#include "platform/DbfFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int fd(std::intptr_t handle) { return static_cast<int>(handle); }

// Moves `count` bytes at `offset` with `op` (pread or pwrite), again after a partial move or an
// interruption. 0, or the error number of the failure (EIO when the file ends first).
template <class Buffer, class Op> int transferAll(Op op, std::int64_t offset, Buffer buffer, std::size_t count) {
    while (count > 0) {
        const ssize_t n = op(buffer, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? EIO : errno;
        buffer += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return 0;
}
} // namespace

FileFault DbfFile::faultOf(long err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return FileFault::NoAccess;
    case ENOSPC:
        return FileFault::DiskFull;
    case EFBIG:
        return FileFault::TooLarge;
    case EROFS:
        return FileFault::ReadOnlyDisk;
    case ENOENT:
        return FileFault::NotFound;
    case EIO:
        return FileFault::DiskError;
    case EWOULDBLOCK:
        return FileFault::InUse;
    default:
        return FileFault::Other;
    }
}

DbfFile::Result DbfFile::open(const QString &path, bool exclusive) {
    close();
    const QByteArray native = QFile::encodeName(path);
    m_readOnly = false;
    int file = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (file < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        file = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        m_readOnly = file >= 0;
    }
    if (file < 0) {
        fail(errno);
        return Result::Failed;
    }
    m_handle = file;
    int rc;
    do
        rc = ::flock(file, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        // A file system without locks (ENOLCK, EOPNOTSUPP) is used unlocked rather than refused.
        if (err == EWOULDBLOCK || (err != ENOLCK && err != EOPNOTSUPP && err != EINVAL)) {
            close();
            fail(err);
            return err == EWOULDBLOCK ? Result::Busy : Result::Failed;
        }
    }
    return Result::Ok;
}

void DbfFile::close() {
    if (m_handle != Closed)
        ::close(fd(m_handle)); // releases the lock
    m_handle = Closed;
}

bool DbfFile::size(std::int64_t &out) {
    struct stat st {};
    if (::fstat(fd(m_handle), &st) != 0)
        return fail(errno);
    out = st.st_size;
    return true;
}

bool DbfFile::readAt(std::int64_t offset, char *buffer, std::size_t count) {
    const int file = fd(m_handle);
    const auto read = [file](char *to, std::size_t n, off_t at) { return ::pread(file, to, n, at); };
    const int err = transferAll(read, offset, buffer, count);
    return err == 0 || fail(err);
}

bool DbfFile::writeAt(std::int64_t offset, const char *buffer, std::size_t count) {
    if (m_readOnly) {
        m_fault = FileFault::ReadOnlyFile;
        return false;
    }
    const int file = fd(m_handle);
    const auto write = [file](const char *from, std::size_t n, off_t at) { return ::pwrite(file, from, n, at); };
    const int err = transferAll(write, offset, buffer, count);
    return err == 0 || fail(err);
}
