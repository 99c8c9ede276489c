#pragma once
// The Séneca document of a run and the reading operations every import step uses. Records
// are walked by position: a value is the text of the record's n-th direct `dato` child,
// converted to table text and trimmed of blanks. A position the record lacks reads as the
// empty value (and fails every name test), the same in every step.

#include "platform/AnsiText.h"
#include "platform/XmlDocument.h"

#include <QString>

#include <optional>
#include <vector>

// The direct `dato` children of one record, in document order.
class DatoList {
public:
    DatoList() = default;
    explicit DatoList(XmlNodeList nodes) : m_nodes(std::move(nodes)) {}
    int count() const { return m_nodes.length(); }
    XmlNode item(int position) const { return m_nodes.item(position); }

private:
    XmlNodeList m_nodes;
};

// One MATERIAS record as the subject steps read it: the offer is dato 0 (X_OFERTAMATRIG), the
// name and identifier come in either order (ReadSubjectNameAndId).
struct SubjectRecord {
    AnsiText offer;
    AnsiText subject; // X_MATERIAOMG
    AnsiText name;    // D_MATERIAC
};

class SenecaDocument {
public:
    // Loads the file, replacing what was loaded before. A file that does not parse throws
    // RunError naming the file, the line and the reason (instead of acting as an empty document).
    void load(const QString &path);
    // The same, handing every record (every element three levels below the root) to the sink
    // as it is read; those it lets go are not in the loaded document (see XmlDocument::load).
    void load(const QString &path, const XmlDocument::ThirdLevelSink &sink);
    QString path() const { return m_path; }

    // The nodes an absolute location path selects, in document order.
    XmlNodeList SelectRecords(const char *path) const;
    // The MATERIAS records with at least two datos, in document order, read once for the
    // steps that walk them (the largest group of an export).
    const std::vector<SubjectRecord> &SubjectRecords() const;
    XmlDocument &xml() { return m_xml; }
    const XmlDocument &xml() const { return m_xml; }

private:
    XmlDocument m_xml;
    QString m_path;
    mutable std::optional<std::vector<SubjectRecord>> m_subjectRecords;
};

// The `dato` children of a record (a null record has none).
DatoList Datos(const XmlNode &record);
// Text content at a position (its first 64 KiB), converted to Windows-1252 and trimmed by AllTrim.
AnsiText DatoValue(const DatoList &list, int position);
// The value of a field, read by its position as DatoValue unless the record's names
// (nombre_dato) say otherwise: a dato elsewhere named `name` gives the value (the first such),
// and when none does while the position holds another Séneca field (SenecaFieldNames), the
// value is empty. So a record missing one field never gives its neighbour's value in its
// place, and a record whose datos carry no names, or names Séneca does not use, reads by
// position alone.
AnsiText DatoField(const DatoList &list, int position, const char *name);
// D_MATERIAC and X_MATERIAOMG of a MATERIAS record. Séneca has sent them as dato 1 and 2 in
// either order: a record that names either gives each by DatoField; otherwise dato 2 and then
// dato 1 are placed by the name test, dato 1 (read last) winning where both land on the same
// value, and a record with two values reads its third as empty.
struct SubjectNameAndId {
    AnsiText name;
    AnsiText id;
};
SubjectNameAndId ReadSubjectNameAndId(const DatoList &list);
// Whether a dato of the list carries exactly this nombre_dato.
bool NamesField(const DatoList &list, const char *name);
// Whether the serialized markup, converted and trimmed, holds the name from position 20
// (counted from 1): true when `nombre_dato` is the first attribute and its value starts with it.
bool DatoNameIs(const DatoList &list, int position, const AnsiText &name);

// The record path of a data group: /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="NAME"]/grupo_datos
std::string GroupRecordsPath(const char *groupName);
