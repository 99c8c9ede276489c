#pragma once
// Everything a conversion run shares, held for the whole program run by its owner (the main
// window, or the command-line tool).

#include "platform/AnsiText.h"
#include "report/Report.h"
#include "seneca/SenecaDocument.h"

#include <QString>
#include <set>
#include <vector>

// Where the converter finds and leaves its files. The defaults are the fixed places; the
// environment variable ZTEMP and the command-line tool's options override them.
struct Paths {
    QString workDir;     // the host's working folder (C:\ZTEMP on Windows)
    QString dialogDir;   // where the open-file dialog starts
    QString catalogPath; // SENEMATERIAS.DBF beside the executable
    QString iniPath;     // Zetarium.ini beside the executable
    QString exeDir;

    static Paths defaults();
};

// The four sets the subjects step fills and the activities step releases; sorted, so every
// membership test is a bisection search, and compared byte by byte (case-sensitive).
struct SubjectSets {
    std::set<AnsiText> UsedCodes;
    std::set<AnsiText> SeenLongCodes;
    std::set<AnsiText> SeenNames;
    std::set<AnsiText> SeenLongCodeNames;
    void clear();
};

// What the last finished export wrote.
struct ExportCounts {
    QString output;   // the result file
    int teachers = 0; // teacher records
    int lessons = 0;  // entry records
};

class RunState {
public:
    explicit RunState(Paths paths = Paths::defaults()) : paths(std::move(paths)) {}

    Paths paths;
    bool hostMode = false;
    int outcome = 0;
    QString rememberedFile;
    SenecaDocument document;
    bool CourseCheckFailed = false;
    // The CURSOST rows (positions from 0) that the courses step filled from the remembered
    // courses of earlier imports, for the dialog to mark.
    std::vector<int> rememberedCourseRows;
    SubjectSets sets;
    ExportCounts exported;
    RunReport report; // the report of the last finished run
    // False: a direction ends without its check and report (the command-line tool's
    // --sin-informe); what it converts is the same.
    bool checkOutputs = true;

    // Where the import's steps read and write their tables: the staging folder of the import
    // that is running, set by the import driver; the work folder itself when none is set.
    QString importFolder;
    const QString &tableFolder() const { return importFolder.isEmpty() ? paths.workDir : importFolder; }
};
