#include "singleinstance.h"

#include <QDir>

SingleInstance::SingleInstance(const QString &dir)
    : m_path(QDir(dir.isEmpty() ? QDir::tempPath() : dir).filePath(QStringLiteral("kvmrq.lock")))
{
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    // A lock whose owner process no longer exists counts as stale at once.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) return true;
    m_lock.reset();
    return false;
}
