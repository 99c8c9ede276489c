#include "app/cli/CommandLineTool.h"

#include "app/cli/CliUserInterface.h"
#include "app/cli/CoursesCsv.h"
#include "app/cli/RunSummary.h"
#include "export/ExportDriver.h"
#include "import/ImportDriver.h"
#include "platform/RunError.h"
#include "report/ReportText.h"
#include "seneca/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace CommandLineTool {

namespace {

const char *const Usage =
    "Uso:\n"
    "  transvelkor-cli import ARCHIVO.xml [--work-dir CARPETA] [--catalog ARCHIVO.DBF]\n"
    "                         [--courses ARCHIVO.csv] [--proponer] [--allow-incomplete]\n"
    "                         [--informe-texto] [--estricto] [--sin-informe]\n"
    "  transvelkor-cli export ARCHIVO.xml [--work-dir CARPETA]\n"
    "                         [--informe-texto] [--estricto] [--sin-informe]\n"
    "  transvelkor-cli --help | --version\n"
    "\n"
    "import  Rehace las tablas del programa de horarios a partir de una exportación de Séneca.\n"
    "        --courses da el NIVEL y el CURSO de cada curso (CSV en UTF-8 separado por ';',\n"
    "        cabecera CLAVE;NIVEL;CURSO). Los cursos que recuerda la carpeta de trabajo de\n"
    "        importaciones anteriores (CursosRecordados.csv) se completan solos.\n"
    "        --proponer completa lo que aún falte a partir del nombre de los estudios y escribe\n"
    "        la tabla de cursos que resulta, con el origen de cada valor (archivo de cursos,\n"
    "        recordado, propuesto, sin propuesta).\n"
    "        Si queda algún curso incompleto el proceso se detiene (estado 3), salvo con\n"
    "        --allow-incomplete.\n"
    "export  Escribe junto al archivo elegido \"ResultadoVelkor\" + su nombre, con el horario\n"
    "        regular de cada profesor.\n"
    "--work-dir  carpeta de trabajo (por defecto la variable ZTEMP, o ZTEMP en la carpeta personal).\n"
    "--catalog   catálogo de materias (por defecto SENEMATERIAS.DBF junto al programa).\n"
    "\n"
    "Cada proceso terminado deja un informe HTML: el de la importación, InformeImportacion.html en\n"
    "la carpeta de trabajo; el de la exportación, junto al resultado\n"
    "(ResultadoVelkor<nombre>.informe.html).\n"
    "Se escriben el número de errores, avisos y notas y la ruta del informe.\n"
    "--informe-texto  escribe además los hallazgos del informe como texto.\n"
    "--estricto       un informe con errores (o que no se pudo escribir) termina con estado 4.\n"
    "--sin-informe    no comprueba lo escrito ni escribe informe (un informe anterior queda como\n"
    "                 estaba); las tablas y el resultado son los mismos. No se combina con\n"
    "                 --informe-texto ni con --estricto.\n"
    "\n"
    "Estado de salida: 0 proceso finalizado; 1 el proceso terminó con un error; 2 uso incorrecto;\n"
    "3 cursos sin NIVEL o CURSO; 4 (con --estricto) el informe tiene errores.\n";

struct Options {
    QString command;
    QString file;
    QString workDir;
    QString catalog;
    QString courses;
    bool allowIncomplete = false;
    bool propose = false;
    bool reportText = false;
    bool strict = false;
    bool noReport = false;
};

// Parses the arguments after the program name; nullopt with a message on bad usage.
std::optional<Options> parse(const QStringList &args, QString &problem) {
    Options o;
    if (args.isEmpty()) {
        problem = QStringLiteral("Falta la orden (import o export).");
        return std::nullopt;
    }
    o.command = args[0];
    if (o.command != QStringLiteral("import") && o.command != QStringLiteral("export")) {
        problem = QStringLiteral("Orden desconocida: «%1».").arg(o.command);
        return std::nullopt;
    }
    const bool import = o.command == QStringLiteral("import");
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &into) {
            if (i + 1 >= args.size()) {
                problem = QStringLiteral("Falta el valor de %1.").arg(a);
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == QStringLiteral("--work-dir")) {
            if (!value(o.workDir))
                return std::nullopt;
        } else if (import && a == QStringLiteral("--catalog")) {
            if (!value(o.catalog))
                return std::nullopt;
        } else if (import && a == QStringLiteral("--courses")) {
            if (!value(o.courses))
                return std::nullopt;
        } else if (import && a == QStringLiteral("--proponer")) {
            o.propose = true;
        } else if (import && a == QStringLiteral("--allow-incomplete")) {
            o.allowIncomplete = true;
        } else if (a == QStringLiteral("--informe-texto")) {
            o.reportText = true;
        } else if (a == QStringLiteral("--estricto")) {
            o.strict = true;
        } else if (a == QStringLiteral("--sin-informe")) {
            o.noReport = true;
        } else if (a.startsWith(QStringLiteral("--"))) {
            problem = QStringLiteral("Opción desconocida: «%1».").arg(a);
            return std::nullopt;
        } else if (o.file.isEmpty()) {
            o.file = a;
        } else {
            problem = QStringLiteral("Sobra el argumento «%1».").arg(a);
            return std::nullopt;
        }
    }
    if (o.file.isEmpty()) {
        problem = QStringLiteral("Falta el archivo XML.");
        return std::nullopt;
    }
    if (o.noReport && (o.reportText || o.strict)) {
        problem = QStringLiteral("--sin-informe no se combina con %1.")
                      .arg(o.strict ? QStringLiteral("--estricto") : QStringLiteral("--informe-texto"));
        return std::nullopt;
    }
    return o;
}

Paths pathsFor(const Options &o) {
    Paths p = Paths::defaults();
    if (!o.workDir.isEmpty()) {
        p.workDir = QDir(o.workDir).absolutePath();
        p.dialogDir = QDir(p.workDir).filePath(QStringLiteral("seneca"));
    }
    if (!o.catalog.isEmpty())
        p.catalogPath = QFileInfo(o.catalog).absoluteFilePath();
    return p;
}

// Prints the report's counts and path (and with --informe-texto its findings) and gives the
// exit status of a finished run.
int reportEnd(const RunReport &report, const Options &o, QTextStream &out, QTextStream &err) {
    if (o.noReport)
        return Ok;
    if (!report.written)
        return o.strict ? ReportHasErrors : Ok; // the failure has been printed on stderr
    PrintReportSummary(report, out, err);
    if (o.reportText)
        out << Qt::endl << ReportText(report.report) << Qt::flush;
    return o.strict && report.report.count(FindingLevel::Error) > 0 ? ReportHasErrors : Ok;
}

} // namespace

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
    QString problem;
    const std::optional<Options> options = parse(args, problem);
    if (!options) {
        err << problem << QLatin1Char('\n') << QString::fromUtf8(Usage);
        return BadUsage;
    }

    RunState state(pathsFor(*options));
    state.checkOutputs = !options->noReport;
    CliUserInterface ui(QFileInfo(options->file).absoluteFilePath(), out, err);

    if (options->command == QStringLiteral("import")) {
        // A malformed courses file is refused before any table is touched.
        if (!options->courses.isEmpty()) {
            try {
                ui.courses = ReadCoursesCsv(options->courses);
            } catch (const RunError &error) {
                err << error.message() << QLatin1Char('\n');
                return BadUsage;
            }
        }
        ui.allowIncomplete = options->allowIncomplete;
        ui.propose = options->propose;
        BExportarClick(state, ui);
        if (ui.coursesIncomplete)
            return CoursesIncomplete;
        if (state.outcome != 1)
            return RunFailed;
        PrintImportSummary(state.paths.workDir, out);
        return reportEnd(state.report, *options, out, err);
    }

    BImportarClick(state, ui);
    if (state.outcome != 1)
        return RunFailed;
    PrintExportSummary(state.exported, out);
    return reportEnd(state.report, *options, out, err);
}

} // namespace CommandLineTool
