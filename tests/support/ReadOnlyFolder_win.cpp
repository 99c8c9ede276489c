#include "support/ReadOnlyFolder.h"

bool TestSupport::MakeReadOnly(const QString &, QString &why) {
    why = QStringLiteral("read-only folders are made with Linux mount namespaces");
    return false;
}

void TestSupport::EndReadOnly(const QString &) {}
