#pragma once
// The rules that read a level (NIVEL) and a course number (CURSO) from the name of a course's
// studies. The table is data (data/niveles.csv, compiled into the program); its own comments
// say how a line reads.

#include <QRegularExpression>
#include <QString>
#include <optional>
#include <vector>

// What the rules make of one name of studies.
struct StudyGuess {
    QString study;  // the study it belongs to: names of one study share their level
    QString level;  // at most 5 capitals and digits, before two studies are kept apart
    QString course; // empty when neither the name nor the rule gives one
    bool derivedLevel = false; // the level comes from a title's initials, not from the table
};

class LevelRules {
public:
    // The rule table compiled into the program.
    static const LevelRules &builtIn();
    // Reads a rule table; a malformed line throws RunError naming it.
    static LevelRules fromText(const QString &text);

    // The level and course of a name, or nullopt when no rule knows it.
    std::optional<StudyGuess> guess(const QString &studies) const;

    // The plain form names are compared in: lower case, no accents, no dots, "ª" as "º",
    // single blanks, trimmed.
    static QString plain(const QString &text);

private:
    struct Rule {
        QRegularExpression pattern;
        QString level;
        QString course;
        int index = 0;
    };
    struct Title {
        QString plain;
        QString abbreviation;
    };
    QString abbreviation(const QString &title, bool &derived) const;

    std::vector<Rule> m_rules;
    std::vector<Title> m_titles;
};
