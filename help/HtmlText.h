#pragma once
// Turning the bytes of an HTML page (or a contents/index sitemap) into text the way a browser
// does: by the charset that the page declares in a <meta> tag, by a UTF-8 byte-order mark, or
// else as Windows-1252, the code page of help pages written without a declaration.

#include <QByteArray>
#include <QString>

// The charset named in the page's <meta charset="..."> or <meta ... content="...; charset=...">,
// lower case; empty when the page declares none.
QString DeclaredCharset(const QByteArray &html);

QString DecodeHtmlText(const QByteArray &html);
