#pragma once
// The independent dBase readers the tests check our tables against: Debian's python3-dbfread
// and Free Pascal's TDbf (small programs under tests/peers/, compiled on first use).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Peers {
// Compiles tests/peers/NAME.pas into the folder once; the executable's path, or empty when fpc
// is missing or the compile failed (the compiler's output is logged).
QString pascalProgram(const QString &name, const QString &binDir);
// Runs a program to its end; its standard output, or empty (with a warning) when it failed.
QByteArray run(const QString &program, const QStringList &args);
} // namespace Peers
