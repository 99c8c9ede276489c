#pragma once
// The host's call: a direction word and the handle of the host's window in hexadecimal.
// Pure parsing, no widgets, so it is checked without a display.

#include <QString>
#include <QStringList>

#include <optional>

struct HostCommandLine {
    // Exactly two parameters: the host's call. Any other count means a stand-alone run.
    bool hostCall = false;
    // Parameter 1 with the letters A to Z lowered; empty unless hostCall.
    QString direction;
    // The parsed handle; empty when not a host call or when parameter 2 did not parse.
    std::optional<quintptr> hostWindow;
    // The parse failure of parameter 2, ready to show; empty otherwise.
    QString error;

    bool runsImport() const; // "importar": the timetable-to-Séneca direction
    bool runsExport() const; // "exportar": the Séneca-to-timetable direction
};

// `parameters` are the program's arguments without the program name.
HostCommandLine ParseHostCommandLine(const QStringList &parameters);

// Integer conversion of the host's handle: "$" and one or more hexadecimal digits, the value
// fitting 32 bits; nothing else (no blanks, no sign, no "0x", no second "$").
std::optional<quint32> ParseDollarHex(const QString &text);
