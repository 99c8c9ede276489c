#pragma once
// The open file of a table, locked against other opens with flock(): an exclusive open holds
// LOCK_EX, a shared one LOCK_SH, both taken without waiting. flock() locks belong to the open
// file description, so two opens conflict whether they come from two processes or from two
// tables of one process; the lock goes when the file is closed (or the process ends).

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
    bool isOpen() const { return m_fd >= 0; }
    bool readOnly() const { return m_readOnly; }

    // Each returns false on failure (error() then tells why); a read that meets the end of
    // the file early fails.
    bool size(std::int64_t &out);
    bool readAt(std::int64_t offset, char *buffer, std::size_t count);
    bool writeAt(std::int64_t offset, const char *buffer, std::size_t count);

    // The last failure, in Spanish.
    QString error() const;

    static QString describe(int err);

private:
    int m_fd = -1;
    bool m_readOnly = false;
    int m_errno = 0;
};
