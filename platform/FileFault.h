#pragma once
// Why an operation on a table's file failed, the same on every platform: each platform's file
// code maps its own error numbers to these, and the Spanish words for them live here only.

#include <QString>

enum class FileFault { None, NoAccess, ReadOnlyFile, DiskFull, TooLarge, ReadOnlyDisk, NotFound, DiskError, InUse, Other };

// The fault in Spanish; `systemCode` is the platform's own number, shown for Other.
QString DescribeFileFault(FileFault fault, long systemCode = 0);

class QFileDevice;
// Why an operation on a file that Qt opened failed, in Spanish (Qt's own texts are English):
// a file that could not be created in a folder that takes no writes says so.
QString DescribeFileError(const QFileDevice &file);
