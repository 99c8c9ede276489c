#include "help/ChmSitemap.h"

#include "help/HtmlText.h"

#include <QHash>

#include <vector>

namespace {
struct Tag {
    QString name; // lower case, without the '/'
    bool closing = false;
    QHash<QString, QString> attributes; // names in lower case
};

QString decodeEntities(const QString &text) {
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QHash<QString, QChar> named = {{QStringLiteral("amp"), QLatin1Char('&')},
                                                {QStringLiteral("lt"), QLatin1Char('<')},
                                                {QStringLiteral("gt"), QLatin1Char('>')},
                                                {QStringLiteral("quot"), QLatin1Char('"')},
                                                {QStringLiteral("apos"), QLatin1Char('\'')},
                                                {QStringLiteral("nbsp"), QChar(0xA0)}};
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semicolon = text.at(i) == QLatin1Char('&') ? text.indexOf(QLatin1Char(';'), i) : -1;
        if (semicolon > i + 1 && semicolon - i <= 10) {
            const QString entity = text.mid(i + 1, semicolon - i - 1);
            bool ok = false;
            char32_t code = 0;
            if (entity.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
                code = entity.mid(2).toUInt(&ok, 16);
            else if (entity.startsWith(QLatin1Char('#')))
                code = entity.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                out += QString::fromUcs4(&code, 1);
                i = semicolon;
                continue;
            }
            const auto found = named.constFind(entity.toLower());
            if (found != named.constEnd()) {
                out += *found;
                i = semicolon;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// Reads the tag that starts at text[at] == '<'; `at` ends just past its '>'.
Tag readTag(const QString &text, qsizetype &at) {
    Tag tag;
    qsizetype i = at + 1;
    const qsizetype n = text.size();
    if (i < n && text.at(i) == QLatin1Char('/')) {
        tag.closing = true;
        ++i;
    }
    const auto isNameChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char(':'); };
    const qsizetype nameStart = i;
    while (i < n && isNameChar(text.at(i)))
        ++i;
    tag.name = text.mid(nameStart, i - nameStart).toLower();
    while (i < n && text.at(i) != QLatin1Char('>')) {
        if (text.at(i).isSpace() || text.at(i) == QLatin1Char('/')) {
            ++i;
            continue;
        }
        const qsizetype attrStart = i;
        while (i < n && !text.at(i).isSpace() && text.at(i) != QLatin1Char('=') && text.at(i) != QLatin1Char('>'))
            ++i;
        const QString attrName = text.mid(attrStart, i - attrStart).toLower();
        while (i < n && text.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && text.at(i) == QLatin1Char('=')) {
            ++i;
            while (i < n && text.at(i).isSpace())
                ++i;
            if (i < n && (text.at(i) == QLatin1Char('"') || text.at(i) == QLatin1Char('\''))) {
                const QChar quote = text.at(i);
                const qsizetype close = text.indexOf(quote, i + 1);
                const qsizetype stop = close < 0 ? n : close;
                value = text.mid(i + 1, stop - i - 1);
                i = close < 0 ? n : close + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !text.at(i).isSpace() && text.at(i) != QLatin1Char('>'))
                    ++i;
                value = text.mid(valueStart, i - valueStart);
            }
        }
        if (!attrName.isEmpty() && !tag.attributes.contains(attrName))
            tag.attributes.insert(attrName, decodeEntities(value));
    }
    at = i < n ? i + 1 : n;
    return tag;
}
} // namespace

QList<ChmSitemapItem> ParseSitemap(const QByteArray &bytes) {
    const QString text = DecodeHtmlText(bytes);
    QList<ChmSitemapItem> root;
    // The lists that the open <UL>s add to; pointers stay valid because while a nested list is on
    // the stack nothing is appended to the lists below it.
    std::vector<QList<ChmSitemapItem> *> lists;
    bool inSitemapObject = false;
    ChmSitemapItem pending;

    for (qsizetype at = text.indexOf(QLatin1Char('<')); at >= 0 && at < text.size();
         at = text.indexOf(QLatin1Char('<'), at)) {
        if (text.mid(at, 4) == QLatin1String("<!--")) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), at + 4);
            at = end < 0 ? text.size() : end + 3;
            continue;
        }
        const Tag tag = readTag(text, at);
        if (tag.name == QLatin1String("ul")) {
            if (!tag.closing) {
                QList<ChmSitemapItem> *current = lists.empty() ? &root : lists.back();
                lists.push_back(lists.empty() || current->isEmpty() ? current : &current->last().children);
            } else if (!lists.empty()) {
                lists.pop_back();
            }
        } else if (tag.name == QLatin1String("object")) {
            if (!tag.closing) {
                inSitemapObject = tag.attributes.value(QStringLiteral("type")).compare(QLatin1String("text/sitemap"),
                                                                                       Qt::CaseInsensitive) == 0;
                pending = ChmSitemapItem();
            } else if (inSitemapObject) {
                inSitemapObject = false;
                if (!pending.name.isEmpty())
                    (lists.empty() ? root : *lists.back()).append(std::move(pending));
                pending = ChmSitemapItem();
            }
        } else if (tag.name == QLatin1String("param") && inSitemapObject) {
            const QString name = tag.attributes.value(QStringLiteral("name")).toLower();
            const QString value = tag.attributes.value(QStringLiteral("value"));
            if (name == QLatin1String("name") && pending.name.isEmpty())
                pending.name = value;
            else if (name == QLatin1String("local") && !value.isEmpty())
                pending.locals.append(value);
        }
    }
    return root;
}
