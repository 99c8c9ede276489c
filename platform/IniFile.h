#pragma once
// Setting one value in an INI file the way the Windows profile functions do, while keeping
// every other byte of the file: comments, other sections and keys, line ends, backslashes.
// Section and key names are matched without regard to the case of A to Z, and the first
// section and the first key of that name win.

#include <QByteArray>
#include <QString>

namespace IniFile {

// The file content with `key` in `section` set to `value`. An existing key keeps its own
// spelling and only its line changes; a missing key goes after the last non-blank line of
// the section; a missing section is appended at the end. New lines take the content's own
// line end (CRLF when the content has none yet).
QByteArray withValue(const QByteArray &content, const QByteArray &section, const QByteArray &key,
                     const QByteArray &value);

// Reads the file at `path` (a missing file counts as empty), sets the value and replaces the
// file atomically. Returns an empty string on success, otherwise a Spanish message that names
// the file and the reason.
[[nodiscard]] QString writeValue(const QString &path, const QByteArray &section, const QByteArray &key,
                                 const QByteArray &value);

} // namespace IniFile
