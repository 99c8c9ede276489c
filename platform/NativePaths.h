#pragma once
// What file paths look like on this system; one implementation file per platform.

#include <QString>

// The host's working folder when the ZTEMP variable names none: C:\ZTEMP on Windows, where the
// host keeps its tables; ZTEMP in the home folder elsewhere.
QString DefaultWorkFolder();

// The length of the folder part of `path`, up to and including its last separator; 0 when the
// path names no folder. On Windows "\" and "/" separate, and "C:SENECA.chm" names drive C's
// current folder.
qsizetype FolderPartLength(const QString &path);
