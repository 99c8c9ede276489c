#include "app/cli/CommandLineTool.h"

namespace CommandLineTool {

static const char *const Usage =
    "Uso:\n"
    "  transvelkor-cli import ARCHIVO.xml [--work-dir CARPETA] [--catalog ARCHIVO.DBF]\n"
    "                         [--courses ARCHIVO.csv] [--allow-incomplete]\n"
    "  transvelkor-cli export ARCHIVO.xml [--work-dir CARPETA]\n"
    "  transvelkor-cli --help | --version\n";

int run(const QStringList &arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(arguments, out, err);
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const QStringList args = arguments.mid(1);
    if (args.size() == 1 && (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h"))) {
        out << QString::fromUtf8(Usage);
        return Ok;
    }
    if (args.size() == 1 && args[0] == QStringLiteral("--version")) {
        out << QStringLiteral("transvelkor-cli %1\n").arg(QStringLiteral(TVS_VERSION));
        return Ok;
    }
    err << QString::fromUtf8(Usage);
    return BadUsage;
}

} // namespace CommandLineTool
