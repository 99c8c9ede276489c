#pragma once
// The Séneca export's data groups read once for the checks, by position as the import reads
// them (values trimmed, a missing position empty), with every record kept in document order
// and the first record of each code found by the code. Read only.

#include "platform/AnsiText.h"
#include "seneca/SenecaDocument.h"

#include <QString>
#include <string>
#include <unordered_map>
#include <vector>

struct SenecaRecord {
    QString seq;    // the record's seq ("UNIDAD_CURSO_3")
    int datos = 0;  // how many dato it has
    std::vector<AnsiText> values;
    const AnsiText &at(size_t position) const;
};

// One data group: its records and the first record of each value of a key position.
class SenecaGroup {
public:
    bool present = false; // the document has the group
    std::vector<SenecaRecord> records;

    // Records with at least two dato, which the import takes.
    int taken() const;
    // The first taken record whose value at the key position equals the code; null when none.
    const SenecaRecord *find(const AnsiText &code) const;
    // All taken records with that code, in document order.
    std::vector<const SenecaRecord *> all(const AnsiText &code) const;

    void index(size_t keyPosition);

private:
    std::unordered_map<std::string, std::vector<size_t>> m_byKey;
};

struct SenecaExport {
    AnsiText year, start, end; // the school-year group
    bool yearPresent = false;
    SenecaGroup courses;     // X_OFERTAMATRIG, D_OFERTAMATRIG
    SenecaGroup subjects;    // X_OFERTAMATRIG, name, identifier (ordered as the import tells them apart)
    SenecaGroup activities;  // L_REGULAR, X_ACTIVIDAD, D_ACTIVIDAD, L_REQUNIDAD, L_REQMATERIA
    SenecaGroup rooms;       // X_DEPENDENCIA, D_DEPENDENCIA
    SenecaGroup days;        // JORNADAS_ESCOLARES
    SenecaGroup timeSlots;       // X_TRAMO, T_HORCEN, N_INICIO, N_FIN
    SenecaGroup units;       // X_UNIDAD, T_NOMBRE, X_OFERTAMATRIG
    SenecaGroup staff;       // X_EMPLEADO, F_TOMAPOS, D_PUESTO, APELLIDO1, APELLIDO2, NOMBRE

    // Subject records are stored as offer, name, identifier whatever order the file has.
    static constexpr size_t SubjectOffer = 0, SubjectName = 1, SubjectId = 2;

    static SenecaExport read(const SenecaDocument &document);
    // The same from the file, which is walked record by record and never held whole. Throws
    // RunError as SenecaDocument::load does.
    static SenecaExport readFile(const QString &path);
};

// "Nombre (código)" for messages; the code alone when there is no name.
QString Named(const AnsiText &name, const AnsiText &code);
