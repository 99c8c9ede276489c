#include "import/LevelRules.h"

#include "platform/RunError.h"

#include <QStringList>

extern const char *const LevelRulesText; // data/niveles.csv, put in by the build

namespace {

const int MaxLevel = 5;

// Words an abbreviation leaves out.
const QStringList Linking = {QStringLiteral("de"),   QStringLiteral("del"), QStringLiteral("la"),
                             QStringLiteral("las"),  QStringLiteral("el"),  QStringLiteral("los"),
                             QStringLiteral("y"),    QStringLiteral("e"),   QStringLiteral("en"),
                             QStringLiteral("a"),    QStringLiteral("al"),  QStringLiteral("para"),
                             QStringLiteral("con"),  QStringLiteral("por"), QStringLiteral("o"),
                             QStringLiteral("u"),    QStringLiteral("sus")};

// Capitals and digits only.
QString levelText(const QString &text) {
    QString out;
    for (const QChar c : text.toUpper())
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c.isDigit())
            out += c;
    return out;
}

// "1", "ii", "segundo"... as a course number; empty for anything else.
QString courseNumber(const QString &word) {
    bool ok = false;
    const int n = word.toInt(&ok);
    if (ok)
        return n >= 0 ? QString::number(n) : QString();
    static const QStringList roman = {QStringLiteral("i"), QStringLiteral("ii"), QStringLiteral("iii"),
                                      QStringLiteral("iv"), QStringLiteral("v"), QStringLiteral("vi")};
    static const QList<QStringList> words = {
        {QStringLiteral("primero"), QStringLiteral("primer")}, {QStringLiteral("segundo")},
        {QStringLiteral("tercero"), QStringLiteral("tercer")}, {QStringLiteral("cuarto")},
        {QStringLiteral("quinto")},                            {QStringLiteral("sexto")}};
    for (int i = 0; i < roman.size(); ++i)
        if (word == roman[i] || words[i].contains(word))
            return QString::number(i + 1);
    return {};
}

// The course a plain name gives: its age in brackets ("(4 años)"), else its first ordinal
// ("2º"), else the course words before "curso" ("segundo curso").
QString courseOfName(const QString &plain) {
    static const QRegularExpression age(QStringLiteral("\\b(\\d{1,2}) anos\\b"));
    static const QRegularExpression ordinal(QStringLiteral("(?<![\\d])(\\d{1,2}) ?º"));
    static const QRegularExpression spelled(QStringLiteral("\\b([a-z]+) curso\\b"));
    for (const QRegularExpression *re : {&age, &ordinal}) {
        const QRegularExpressionMatch m = re->match(plain);
        if (m.hasMatch())
            return courseNumber(m.captured(1));
    }
    const QRegularExpressionMatch m = spelled.match(plain);
    return m.hasMatch() ? courseNumber(m.captured(1)) : QString();
}

} // namespace

QString LevelRules::plain(const QString &text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing || c == QLatin1Char('.'))
            continue;
        out += c == QChar(0x00AA) ? QChar(0x00BA) : c.toLower();
    }
    return out.simplified();
}

LevelRules LevelRules::fromText(const QString &text) {
    LevelRules rules;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char(';'));
        auto refuse = [&](const QString &why) {
            throw RunError(QStringLiteral("Tabla de niveles, línea %1: %2").arg(i + 1).arg(why));
        };
        if (f[0] == QStringLiteral("ESTUDIOS") && f.size() == 4) {
            Rule rule{QRegularExpression(f[1]), f[2], f[3].trimmed(), static_cast<int>(rules.m_rules.size())};
            if (!rule.pattern.isValid())
                refuse(QStringLiteral("la expresión no es válida: %1").arg(rule.pattern.errorString()));
            QString bare = rule.level;
            bare.remove(QStringLiteral("{t}")).remove(QStringLiteral("{c}"));
            if (bare != levelText(bare) || bare.size() > MaxLevel)
                refuse(QStringLiteral("el nivel «%1» no es válido").arg(rule.level));
            rules.m_rules.push_back(std::move(rule));
        } else if (f[0] == QStringLiteral("TITULO") && f.size() == 3) {
            if (f[2].isEmpty() || f[2] != levelText(f[2]) || f[2].size() > MaxLevel)
                refuse(QStringLiteral("la abreviatura «%1» no es válida").arg(f[2]));
            rules.m_titles.push_back({plain(f[1]), f[2]});
        } else {
            refuse(QStringLiteral("se esperaba ESTUDIOS;patrón;nivel;curso o TITULO;título;abreviatura"));
        }
    }
    return rules;
}

const LevelRules &LevelRules::builtIn() {
    static const LevelRules rules = fromText(QString::fromUtf8(LevelRulesText));
    return rules;
}

QString LevelRules::abbreviation(const QString &title, bool &derived) const {
    const QString t = plain(title);
    for (const Title &known : m_titles)
        if (known.plain == t)
            return known.abbreviation;
    derived = true;
    QStringList words;
    for (const QString &w : t.split(QRegularExpression(QStringLiteral("[^a-z0-9]+")), Qt::SkipEmptyParts))
        if (!Linking.contains(w))
            words << w;
    if (words.size() == 1)
        return levelText(words[0].left(2));
    QString initials;
    for (const QString &w : words)
        initials += w[0];
    return levelText(initials);
}

std::optional<StudyGuess> LevelRules::guess(const QString &studies) const {
    const QString name = plain(studies);
    if (name.isEmpty())
        return std::nullopt;
    for (const Rule &rule : m_rules) {
        const QRegularExpressionMatch m = rule.pattern.match(name);
        if (!m.hasMatch())
            continue;
        StudyGuess g;
        const QString title = m.captured(QStringLiteral("t")).trimmed();
        const QString code = m.captured(QStringLiteral("c")).trimmed();
        g.study = QStringLiteral("%1|%2|%3").arg(rule.index).arg(plain(title), code);
        QString level = rule.level;
        if (level.contains(QStringLiteral("{t}")))
            level.replace(QStringLiteral("{t}"), abbreviation(title, g.derivedLevel));
        level.replace(QStringLiteral("{c}"), code.toUpper());
        g.level = levelText(level).left(MaxLevel);
        if (g.level.isEmpty())
            return std::nullopt;
        const QString number = m.captured(QStringLiteral("n"));
        g.course = !number.isEmpty() ? courseNumber(number) : courseOfName(name);
        if (g.course.isEmpty())
            g.course = rule.course;
        return g;
    }
    return std::nullopt;
}
