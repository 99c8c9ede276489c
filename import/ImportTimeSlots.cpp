// Days and hours: DIASHORAST from the "TRAMOS_HORARIOS" group. Séneca gives one list of slots;
// the host wants one row per day and slot, keyed by the day number followed by the slot's
// ordinal (the export looks a placed lesson up by that key).

#include "import/ImportSteps.h"
#include "import/RebuildTable.h"
#include "platform/RunError.h"
#include "seneca/Messages.h"
#include "seneca/SenecaDocument.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int DaysInWeek = 7;

const QString DIHO = QStringLiteral("DIHO");
const QString CODDIHO = QStringLiteral("CODDIHO");
const QString DIA = QStringLiteral("DIA");
const QString HORA = QStringLiteral("HORA");
const QString TEXTOHOR = QStringLiteral("TEXTOHOR");
const QString HORADESDE = QStringLiteral("HORADESDE");
const QString HORAHASTA = QStringLiteral("HORAHASTA");
const QString MINUTOS = QStringLiteral("MINUTOS");

const std::vector<DbfFieldDef> &slotFields() {
    static const std::vector<DbfFieldDef> fields = {
        {DIHO, DbfFieldType::Character, 10},
        {CODDIHO, DbfFieldType::Character, 10},
        {DIA, DbfFieldType::Character, 20},
        {QStringLiteral("TEXTODIA"), DbfFieldType::Character, 20},
        {HORA, DbfFieldType::Character, 8},
        {TEXTOHOR, DbfFieldType::Character, 8},
        {HORADESDE, DbfFieldType::Character, 8},
        {HORAHASTA, DbfFieldType::Character, 8},
        {MINUTOS, DbfFieldType::Character, 8},
    };
    return fields;
}

// Séneca writes times as minutes from midnight; the host expects at least four digits. Only
// one "0" is put in front, so 45 becomes 045 and an empty value 0.
AnsiText padTime(const AnsiText &value) {
    return value.size() < 4 ? AnsiText::ascii("0") + value : value;
}

// A whole number in decimal: an optional sign and at least one digit, nothing else, within
// 32 bits. Anything else ends the run naming the text; it never reads as 0.
std::int32_t toInteger(const AnsiText &text) {
    const std::string &s = text.bytes();
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::int64_t value = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    bool ok = i < s.size();
    for (; ok && i < s.size(); ++i) {
        ok = s[i] >= '0' && s[i] <= '9';
        if (ok) {
            value = value * 10 + (s[i] - '0');
            ok = value <= limit;
        }
    }
    if (!ok)
        throw RunError(Msg::NotAnInteger.arg(text.toQString()));
    return static_cast<std::int32_t>(negative ? -value : value);
}

AnsiText decimal(std::int64_t n) { return AnsiText::ascii(std::to_string(n)); }

} // namespace

void ImportTimeSlots(RunState &state, UserInterface &) {
    DbfTable dayHours;
    RebuildTable(dayHours, state.tableFolder(), QStringLiteral("DIASHORAST"), slotFields());

    // Every record is used whatever its number of values: a missing one reads as empty, so a
    // missing start or end becomes "0".
    const XmlNodeList records = state.document.SelectRecords(GroupRecordsPath("TRAMOS_HORARIOS").c_str());
    for (int day = 1; day <= DaysInWeek; ++day) {
        for (int i = 0; i < records.length(); ++i) {
            const DatoList datos = Datos(records.item(i));
            const AnsiText text = DatoField(datos, 1, "T_HORCEN");
            const AnsiText start = padTime(DatoField(datos, 2, "N_INICIO"));
            const AnsiText end = padTime(DatoField(datos, 3, "N_FIN"));
            // The end is converted first, so when both are bad the message names the end.
            const std::int64_t endMinutes = toInteger(end);
            const std::int64_t length = endMinutes - toInteger(start);

            dayHours.append();
            dayHours.setText(DIHO, decimal(day) + decimal(i + 1));
            dayHours.setText(DIA, decimal(day));
            dayHours.setText(HORA, text);
            dayHours.setText(TEXTOHOR, text);
            dayHours.setText(CODDIHO, DatoField(datos, 0, "X_TRAMO"));
            dayHours.setText(HORADESDE, start);
            dayHours.setText(HORAHASTA, end);
            dayHours.setText(MINUTOS, decimal(length));
            dayHours.post();
        }
    }
    dayHours.close();
}
