#pragma once
// Keeps a second copy of the program from starting on the same machine.
// A lock file in the temporary folder, named after "kvmrq"; a copy that crashed
// leaves a lock that the next start recognises as stale and takes over.
#include <QLockFile>
#include <QString>
#include <memory>

class SingleInstance {
public:
    // dir: where the lock lives (the temporary folder by default).
    explicit SingleInstance(const QString &dir = QString());
    // True when this process now holds the lock; false when another copy runs.
    bool acquire();
    QString lockPath() const { return m_path; }
private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
