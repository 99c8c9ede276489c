#pragma once
// The one error type that ends a conversion run. Low-level code throws it with a Spanish
// message that names what failed (table, field, file, line); the run functions of the two
// directions catch it once and show the message.

#include <QString>
#include <stdexcept>

class RunError : public std::runtime_error {
public:
    explicit RunError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
