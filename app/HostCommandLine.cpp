#include "app/HostCommandLine.h"

#include "seneca/Messages.h"

namespace {

QString lowerAsciiLetters(QString text) {
    for (QChar &c : text)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    return text;
}

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

std::optional<quint32> ParseDollarHex(const QString &text) {
    if (text.size() < 2 || text[0] != u'$')
        return std::nullopt;
    quint64 value = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + quint64(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return quint32(value);
}

bool HostCommandLine::runsImport() const {
    return direction == QLatin1String("importar");
}

bool HostCommandLine::runsExport() const {
    return direction == QLatin1String("exportar");
}

HostCommandLine ParseHostCommandLine(const QStringList &parameters) {
    HostCommandLine line;
    if (parameters.size() != 2)
        return line;
    line.hostCall = true;
    line.direction = lowerAsciiLetters(parameters[0]);
    const QString handleText = QLatin1Char('$') + parameters[1];
    if (const auto handle = ParseDollarHex(handleText))
        line.hostWindow = quintptr(*handle);
    else
        line.error = Msg::NotAnInteger.arg(handleText);
    return line;
}
