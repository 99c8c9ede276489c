#pragma once
// First-match lookups over the import's tables, each built once per run on its first use.
// A lookup answers what a pass from the table's first record to its first match would: the
// earliest record, in table order, whose fields equal the keys exactly (letter case
// included). Building on first use keeps a table's fields unread until an entry needs them.

#include "platform/AnsiText.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

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
    const GroupCodes *group(const AnsiText &abbreviation);                             // ABREV
    const AnsiText *subjectByOffer(const AnsiText &subject, const AnsiText &offer);    // COD, OFERTAMATRI -> MATERIA

private:
    using Key = std::string;
    using PairKey = std::pair<std::string, std::string>;
    struct PairHash {
        size_t operator()(const PairKey &k) const {
            const size_t a = std::hash<std::string>{}(k.first);
            return a ^ (std::hash<std::string>{}(k.second) + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
        }
    };
    template <class V> using Map = std::unordered_map<Key, V>;
    template <class V> using PairMap = std::unordered_map<PairKey, V, PairHash>;

    ExportTables &m_tables;
    std::optional<PairMap<AssignmentCodes>> m_assignments;
    std::optional<Map<AnsiText>> m_activities;
    std::optional<Map<SlotCodes>> m_slots;
    std::optional<Map<GroupCodes>> m_groups;
    std::optional<PairMap<AnsiText>> m_subjectsByOffer;
};
