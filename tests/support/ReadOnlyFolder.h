#pragma once
// A folder made read-only for this process and the programs it starts, also as root (where
// permission bits do not stop writes): the folder is mounted read-only over itself in a mount
// namespace of the test's own, so nothing outside the test sees it.

#include <QString>

namespace TestSupport {
// Makes the folder read-only until EndReadOnly; false (with the reason in `why`) where the
// system does not allow it (no mount namespaces, not permitted, Windows).
bool MakeReadOnly(const QString &folder, QString &why);
void EndReadOnly(const QString &folder);
} // namespace TestSupport
