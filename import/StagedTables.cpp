#include "import/StagedTables.h"

#include "platform/DbfTable.h"
#include "platform/RunError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// A file moved by commit(), and where it came from, to undo the move.
struct Move {
    QString from, to;
};

bool moveFile(const QString &from, const QString &to, std::vector<Move> &done) {
    if (!QFile::rename(from, to))
        return false;
    done.push_back({from, to});
    return true;
}

void undo(std::vector<Move> &done) {
    for (auto it = done.rbegin(); it != done.rend(); ++it)
        QFile::rename(it->to, it->from);
    done.clear();
}

} // namespace

const QStringList &StagedTables::ImportedTables() {
    static const QStringList names = {
        QStringLiteral("PERIODOS"), QStringLiteral("CURSOST"), QStringLiteral("ASIGNOMT"),
        QStringLiteral("ASIGNOMT2"), QStringLiteral("PROFT"), QStringLiteral("AULAT"),
        QStringLiteral("GRUPOST"), QStringLiteral("ASIGT"), QStringLiteral("DIASHORAST"),
    };
    return names;
}

StagedTables::StagedTables(const QString &workDir)
    : m_workDir(workDir), m_staging(QDir(workDir).filePath(QStringLiteral(".transvelkor-importacion-XXXXXX"))) {
    if (!QFileInfo(workDir).isDir())
        throw RunError(QStringLiteral("No se puede importar: no existe la carpeta de trabajo %1. "
                                      "No se ha cambiado ninguna tabla.")
                           .arg(shown(workDir)));
    if (!m_staging.isValid())
        throw RunError(QStringLiteral("No se puede importar: no se puede escribir en la carpeta de trabajo %1. "
                                      "No se ha cambiado ninguna tabla.")
                           .arg(shown(workDir)));
    // A table the host still holds stops the run before the user completes any course.
    for (const QString &name : ImportedTables())
        DbfTable::checkNotInUse(m_workDir, name);
}

StagedTables::~StagedTables() = default;

QString StagedTables::folder() const { return m_staging.path(); }

void StagedTables::commit() {
    QStringList names;
    for (const QString &name : ImportedTables())
        if (!DbfTable::findFile(folder(), name).isEmpty())
            names << name;
    for (const QString &name : names)
        DbfTable::checkNotInUse(m_workDir, name);

    const QDir work(m_workDir);
    // The old tables wait in the staging folder until the new ones are in place.
    const QDir staging(folder());
    if (!staging.mkdir(QStringLiteral("anteriores")))
        throw RunError(QStringLiteral("No se pueden sustituir las tablas de %1: no se puede escribir en la carpeta. "
                                      "Las tablas no han cambiado.")
                           .arg(shown(m_workDir)));
    const QDir aside(staging.filePath(QStringLiteral("anteriores")));

    std::vector<Move> done;
    for (const QString &name : names) {
        for (const QString &extension : {QStringLiteral(".DBF"), QStringLiteral(".MDX")}) {
            const QString current = DbfTable::findFile(m_workDir, name, extension);
            if (current.isEmpty())
                continue;
            if (!moveFile(current, aside.filePath(QFileInfo(current).fileName()), done)) {
                undo(done);
                throw RunError(QStringLiteral("No se puede sustituir la tabla %1 (%2): el archivo no se puede mover. "
                                              "Las tablas no han cambiado.")
                                   .arg(name, shown(current)));
            }
        }
    }
    for (const QString &name : names) {
        const QString staged = DbfTable::findFile(folder(), name);
        const QString target = work.filePath(QFileInfo(staged).fileName());
        if (!moveFile(staged, target, done)) {
            undo(done);
            throw RunError(QStringLiteral("No se puede poner la tabla nueva %1 en %2. Las tablas no han cambiado.")
                               .arg(name, shown(m_workDir)));
        }
    }
    // The old tables go with the staging folder.
}
