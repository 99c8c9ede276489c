// The export reading a fuzzed solved timetable and staff table: the work folder holds the
// sample school as the import leaves it, and each input replaces SOLUC.DBF and PROFT.DBF. An
// input is a 4-byte little-endian length, that many bytes of SOLUC.DBF (fewer when the input
// is shorter) and the rest PROFT.DBF. The export, and the check of what it wrote, end with
// "Proceso finalizado" or one error message.

#include "FuzzScratch.h"

#include "app/cli/CommandLineTool.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdint>

namespace {

QString input;
QString workDir;

int runTool(const QStringList &arguments) {
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    return CommandLineTool::run(arguments, out, err);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Fuzz::silenceQt();
    const QString scratch = Fuzz::scratchFolder("export");
    input = Fuzz::subFolder(scratch, QStringLiteral("in"));
    workDir = Fuzz::subFolder(scratch, QStringLiteral("ZTEMP"));
    const QString document = QDir(input).filePath(QStringLiteral("Ejemplo.xml"));
    if (!QFile::copy(QStringLiteral(TVS_FUZZ_SAMPLE), document))
        qFatal("cannot copy the sample school's document");
    const int imported = runTool({QStringLiteral("transvelkor-cli"), QStringLiteral("import"), document,
                                  QStringLiteral("--work-dir"), workDir, QStringLiteral("--catalog"),
                                  QStringLiteral(TVS_FUZZ_CATALOGUE), QStringLiteral("--courses"),
                                  QStringLiteral(TVS_FUZZ_COURSES)});
    if (imported != CommandLineTool::Ok)
        qFatal("the sample school's import failed (%d)", imported);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::size_t solucSize = 0;
    if (size >= 4) {
        solucSize = std::size_t(data[0]) | std::size_t(data[1]) << 8 | std::size_t(data[2]) << 16 |
                    std::size_t(data[3]) << 24;
        data += 4;
        size -= 4;
    }
    solucSize = std::min(solucSize, size);
    Fuzz::writeFile(workDir, QStringLiteral("SOLUC.DBF"), data, solucSize);
    Fuzz::writeFile(workDir, QStringLiteral("PROFT.DBF"), data + solucSize, size - solucSize);
    (void)runTool({QStringLiteral("transvelkor-cli"), QStringLiteral("export"),
                   QDir(input).filePath(QStringLiteral("Ejemplo.xml")), QStringLiteral("--work-dir"), workDir});
    return 0;
}
