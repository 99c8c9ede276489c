#include "platform/DbfFile.h"

#include <QDir>

#include <windows.h>

#include <algorithm>

namespace {
HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// The lock is one byte far beyond the end of any table (dBase files stay under 2 GB), so that
// it keeps other opens out without barring reads and writes of the data through this handle:
// Windows' range locks are mandatory, and a shared lock on the data would stop this open's own
// writes. A program that locks the whole file conflicts with it as well.
constexpr DWORD LockOffsetLow = 0xFFFFFF00u;

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED position{};
    position.Offset = DWORD(std::uint64_t(offset) & 0xFFFFFFFFu);
    position.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    return position;
}

// Moves `count` bytes at `offset` with `op` (ReadFile or WriteFile), in pieces of at most 1 GB.
// 0, or the error number of the failure (`ended` when nothing more moves).
template <class Buffer, class Op>
DWORD transferAll(Op op, std::int64_t offset, Buffer buffer, std::size_t count, DWORD ended) {
    while (count > 0) {
        OVERLAPPED position = at(offset);
        const DWORD chunk = DWORD(std::min<std::size_t>(count, 1u << 30));
        DWORD done = 0;
        if (!op(buffer, chunk, &done, &position))
            return GetLastError();
        if (done == 0)
            return ended;
        buffer += done;
        offset += done;
        count -= done;
    }
    return 0;
}
} // namespace

FileFault DbfFile::faultOf(long err) {
    switch (err) {
    case ERROR_ACCESS_DENIED:
        return FileFault::NoAccess;
    case ERROR_WRITE_PROTECT:
        return FileFault::ReadOnlyDisk;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileFault::DiskFull;
    case ERROR_FILE_TOO_LARGE:
        return FileFault::TooLarge;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return FileFault::NotFound;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_CRC:
    case ERROR_HANDLE_EOF:
        return FileFault::DiskError;
    case ERROR_LOCK_VIOLATION:
    case ERROR_SHARING_VIOLATION:
        return FileFault::InUse;
    default:
        return FileFault::Other;
    }
}

DbfFile::Result DbfFile::open(const QString &path, bool exclusive) {
    close();
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    m_readOnly = false;
    HANDLE file = CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE &&
        (GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_WRITE_PROTECT)) {
        file = CreateFileW(native.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        m_readOnly = file != INVALID_HANDLE_VALUE;
    }
    if (file == INVALID_HANDLE_VALUE) {
        fail(long(GetLastError()));
        return Result::Failed;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    OVERLAPPED lock = at(LockOffsetLow);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(file, flags, 0, 1, 0, &lock)) {
        const DWORD err = GetLastError();
        close();
        fail(long(err));
        return err == ERROR_LOCK_VIOLATION || err == ERROR_SHARING_VIOLATION ? Result::Busy : Result::Failed;
    }
    return Result::Ok;
}

void DbfFile::close() {
    if (m_handle != Closed)
        CloseHandle(handleOf(m_handle)); // releases the lock
    m_handle = Closed;
}

bool DbfFile::size(std::int64_t &out) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handleOf(m_handle), &size))
        return fail(long(GetLastError()));
    out = size.QuadPart;
    return true;
}

bool DbfFile::readAt(std::int64_t offset, char *buffer, std::size_t count) {
    HANDLE file = handleOf(m_handle);
    const auto read = [file](char *to, DWORD n, DWORD *done, OVERLAPPED *at) {
        return ReadFile(file, to, n, done, at);
    };
    const DWORD err = transferAll(read, offset, buffer, count, ERROR_HANDLE_EOF);
    return err == 0 || fail(long(err));
}

bool DbfFile::writeAt(std::int64_t offset, const char *buffer, std::size_t count) {
    if (m_readOnly) {
        m_fault = FileFault::ReadOnlyFile;
        return false;
    }
    HANDLE file = handleOf(m_handle);
    const auto write = [file](const char *from, DWORD n, DWORD *done, OVERLAPPED *at) {
        return WriteFile(file, from, n, done, at);
    };
    const DWORD err = transferAll(write, offset, buffer, count, ERROR_WRITE_FAULT);
    return err == 0 || fail(long(err));
}
