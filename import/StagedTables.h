#pragma once
// The tables of an import run are built in a staging folder inside the work folder and put in
// place of the old ones only when the run ends well (or the user leaves the course dialog by
// its forced exit, which keeps the tables written so far). A run that fails leaves every table
// of the work folder as it was; a crash during the run leaves them too, with a staging folder
// beside them that the next run does not read.
//
// Putting them in place moves every old table (and its .MDX) into the staging folder first and
// then the new ones into the work folder, undoing the moves already made if one fails, so the
// host finds either all the old tables or all the new ones.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class StagedTables {
public:
    // Creates the staging folder. Throws RunError when the work folder is missing or cannot
    // be written, or when one of the tables an import writes is in use by another program.
    explicit StagedTables(const QString &workDir);
    // Removes the staging folder and whatever it still holds.
    ~StagedTables();
    StagedTables(const StagedTables &) = delete;
    StagedTables &operator=(const StagedTables &) = delete;

    QString folder() const;

    // Puts every table of the staging folder in place of the work folder's, with the old
    // .MDX removed. Throws RunError, with the work folder as it was, when that cannot be done.
    void commit();

    // The tables an import run writes, in the order the steps write them.
    static const QStringList &ImportedTables();

private:
    QString m_workDir;
    QTemporaryDir m_staging;
};
