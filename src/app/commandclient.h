#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// The shell's side of a command: it reads the command line (and standard
// input for `add`), hands them to the running program over the local socket,
// and prints what comes back. It only forwards: it loads no collection and
// opens no window, so it answers within seconds also from a desktop's key
// binding or a script.
class CommandClient
{
public:
    // How long a command waits for a program that holds the lock but does
    // not listen yet (it is starting), and for silence from it.
    static constexpr int StartWaitMs = 5000;
    static constexpr int AnswerTimeoutMs = 10000;

    CommandClient(const QString &socketPath, const QString &lockFile);

    // Runs the command `args` (without the program's name); the exit code.
    int run(const QStringList &args, QIODevice *input, QIODevice &output, QIODevice &error);

    void setAnswerTimeout(int milliseconds) { m_answerTimeoutMs = milliseconds; }

private:
    bool instanceHoldsLock() const;

    QString m_socketPath;
    QString m_lockFile;
    int m_answerTimeoutMs = AnswerTimeoutMs;
};
