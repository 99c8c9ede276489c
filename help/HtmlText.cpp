#include "help/HtmlText.h"

#include "platform/Cp1252.h"

#include <QRegularExpression>
#include <QStringDecoder>

QString DeclaredCharset(const QByteArray &html) {
    // Declarations belong in the head; browsers look at the first kilobytes only.
    const QString head = QString::fromLatin1(html.left(4096));
    static const QRegularExpression meta(QStringLiteral("<meta\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (auto tags = meta.globalMatch(head); tags.hasNext();) {
        const QRegularExpressionMatch found = charset.match(tags.next().captured());
        if (found.hasMatch())
            return found.captured(1).toLower();
    }
    return QString();
}

QString DecodeHtmlText(const QByteArray &html) {
    if (html.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(html.mid(3));
    const QString charset = DeclaredCharset(html);
    if (charset == QLatin1String("utf-8") || charset == QLatin1String("utf8"))
        return QString::fromUtf8(html);
    // Browsers read ISO-8859-1 and US-ASCII as Windows-1252 too; so do we.
    static const QStringList cp1252Names = {QStringLiteral("windows-1252"), QStringLiteral("cp1252"),
                                            QStringLiteral("iso-8859-1"),   QStringLiteral("latin1"),
                                            QStringLiteral("us-ascii"),     QStringLiteral("ascii")};
    if (!charset.isEmpty() && !cp1252Names.contains(charset)) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(html);
    }
    return QString::fromStdString(Cp1252::toUtf8(std::string_view(html.constData(), size_t(html.size()))));
}
