#pragma once
// The open file of a table, locked against other opens: an exclusive open takes an exclusive
// lock, a shared one a shared lock, both without waiting. The lock belongs to this open, so two
// opens conflict whether they come from two processes or from two tables of one process; it
// goes when the file is closed (or the process ends). POSIX systems lock with flock(), Windows
// with LockFileEx(); each has its own implementation file.

#include "platform/FileFault.h"

#include <QString>
#include <cstddef>
#include <cstdint>

class DbfFile {
public:
    enum class Result { Ok, Busy, Failed };

    DbfFile() = default;
    ~DbfFile() { close(); }
    DbfFile(const DbfFile &) = delete;
    DbfFile &operator=(const DbfFile &) = delete;

    // Opens for reading and writing (for reading only when the file or its disk allows no
    // more). Busy: another open holds a conflicting lock. Failed: see error().
    Result open(const QString &path, bool exclusive);
    void close();
    bool isOpen() const { return m_handle != Closed; }
    bool readOnly() const { return m_readOnly; }

    // Each returns false on failure (error() then tells why); a read that meets the end of
    // the file early fails.
    bool size(std::int64_t &out);
    bool readAt(std::int64_t offset, char *buffer, std::size_t count);
    bool writeAt(std::int64_t offset, const char *buffer, std::size_t count);

    // The last failure, in Spanish.
    QString error() const { return DescribeFileFault(m_fault, m_systemCode); }

private:
    // Records the platform's error number `code` as the last failure; returns false.
    bool fail(long code) {
        m_systemCode = code;
        m_fault = faultOf(code);
        return false;
    }
    // What the platform's error number means (each platform's file has its own table).
    static FileFault faultOf(long code);

    static constexpr std::intptr_t Closed = -1; // also Windows' INVALID_HANDLE_VALUE
    std::intptr_t m_handle = Closed;            // a file descriptor, or a Windows HANDLE
    bool m_readOnly = false;
    FileFault m_fault = FileFault::None;
    long m_systemCode = 0;
};
