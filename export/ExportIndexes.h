#pragma once
// First-match lookups over the import's tables, each built once per run on its first use.
// A lookup answers what a pass from the table's first record to its first match would: the
// earliest record, in table order, whose fields equal the keys exactly (letter case
// included). Building on first use keeps a table's fields unread until an entry needs them.

#include "platform/AnsiText.h"

#include "export/FirstMatchIndex.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <string>

struct ExportTables;

// ASIGT: the Séneca subject and offer of a subject assignment.
struct AssignmentCodes {
    AnsiText subject; // CLAVE
    AnsiText offer;   // CLAVECURSO
};

// GRUPOST: the Séneca unit and offer of a group.
struct GroupCodes {
    AnsiText unit;  // CLAVE
    AnsiText offer; // CLAVECURSO
};

// DIASHORAST: one day-and-slot.
struct SlotCodes {
    AnsiText day;   // DIA
    AnsiText code;  // CODDIHO
    AnsiText start; // HORADESDE
    AnsiText end;   // HORAHASTA
};

class ExportIndexes {
public:
    explicit ExportIndexes(ExportTables &tables) : m_tables(tables) {}

    // Each returns null when no record matches.
    const AssignmentCodes *assignment(const AnsiText &subject, const AnsiText &group);  // CASIG, CGRUP
    const AnsiText *activity(const AnsiText &subject);                                 // COD -> CODTAREA
    const SlotCodes *slot(const AnsiText &key);                                        // DIHO
    // The slot of a SOLUC entry: the row whose DIHO is the day followed by the slot number
    // and whose DIA is that day. Null when the day or the slot does not exist (the key of day
    // 11, slot 0 reads as day 1, slot 10, but that row's DIA says otherwise).
    const SlotCodes *slotOf(int day, int slot);
    const GroupCodes *group(const AnsiText &abbreviation);                             // ABREV
    const AnsiText *subjectByOffer(const AnsiText &subject, const AnsiText &offer);    // COD, OFERTAMATRI -> MATERIA

private:
    // Table text never holds a NUL byte (the engine ends a value at one), so joining two
    // values with one keeps pairs apart.
    using Key = std::string;
    static Key pairKey(const AnsiText &a, const AnsiText &b) { return a.bytes() + '\0' + b.bytes(); }
    template <class V> using Map = FirstMatchIndex<V>;

    ExportTables &m_tables;
    std::optional<Map<AssignmentCodes>> m_assignments;
    std::optional<Map<AnsiText>> m_activities;
    std::optional<Map<SlotCodes>> m_slots;
    std::unordered_map<std::int64_t, const SlotCodes *> m_slotOf; // day and slot number -> slotOf
    std::optional<Map<GroupCodes>> m_groups;
    std::optional<Map<AnsiText>> m_subjectsByOffer;
};
