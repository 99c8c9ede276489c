// The whole import on any document: the nine steps, the courses completed as the command-line
// tool completes them (the sample school's courses file, incomplete courses allowed) and the
// import's report, into a work folder emptied before each input. Whatever the document, the
// run ends with "Proceso finalizado" or with one error message.

#include "FuzzScratch.h"

#include "app/cli/CommandLineTool.h"

#include <QDir>
#include <QTextStream>
#include <cstdint>

namespace {

QString input;
QString workDir;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Fuzz::silenceQt();
    const QString scratch = Fuzz::scratchFolder("import");
    input = Fuzz::subFolder(scratch, QStringLiteral("in"));
    workDir = Fuzz::subFolder(scratch, QStringLiteral("ZTEMP"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Fuzz::clear(workDir);
    Fuzz::writeFile(input, QStringLiteral("doc.xml"), data, size);
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    (void)CommandLineTool::run({QStringLiteral("transvelkor-cli"), QStringLiteral("import"),
                                QDir(input).filePath(QStringLiteral("doc.xml")), QStringLiteral("--work-dir"), workDir,
                                QStringLiteral("--catalog"), QStringLiteral(TVS_FUZZ_CATALOGUE),
                                QStringLiteral("--courses"), QStringLiteral(TVS_FUZZ_COURSES),
                                QStringLiteral("--allow-incomplete")},
                               out, err);
    return 0;
}
