#pragma once
// The contents (.hhc) and index (.hhk) files of a compiled help file: HTML "sitemaps" in which
// each <LI> carries an <OBJECT type="text/sitemap"> with <param name="Name" value="..."> and
// <param name="Local" value="...">, and a nested <UL> holds the children of the item before it.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct ChmSitemapItem {
    QString name;       // the first Name parameter
    QStringList locals; // every Local parameter, as written (relative to the archive's root)
    QList<ChmSitemapItem> children;
};

// Tolerates what help compilers accept: missing </LI>, unquoted or single-quoted values, upper
// or lower case, stray text. Items without a Name are dropped; a <UL> with no item before it at
// its level adds to that level.
QList<ChmSitemapItem> ParseSitemap(const QByteArray &bytes);
