#pragma once

#include <QLockFile>
#include <QString>

// One running program per user. A lock left by a program that died is taken
// over, so a crash never blocks the next start.
class InstanceLock
{
public:
    enum class Result { Acquired, AlreadyRunning, Failed };

    explicit InstanceLock(const QString &path);
    Result acquire();
    void release() { m_lock.unlock(); }
    bool held() const { return m_lock.isLocked(); }

private:
    QLockFile m_lock;
};
