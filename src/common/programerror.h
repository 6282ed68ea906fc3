#pragma once

#include <QString>

#include <stdexcept>

// A failure the user must hear about (file I/O, a bad stored value). Thrown
// by the model and store and shown once by the program-wide error handler.
class ProgramError : public std::runtime_error
{
public:
    explicit ProgramError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
