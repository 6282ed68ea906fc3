#include "app/instancelock.h"

InstanceLock::InstanceLock(const QString &path)
    : m_lock(path)
{
    // Only a dead owner makes the lock stale, never its age: the program runs for weeks.
    m_lock.setStaleLockTime(0);
}

InstanceLock::Result InstanceLock::acquire()
{
    if (m_lock.tryLock(0))
        return Result::Acquired;
    return m_lock.error() == QLockFile::LockFailedError ? Result::AlreadyRunning : Result::Failed;
}
