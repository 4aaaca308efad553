#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &booksFolder)
    : m_folder(booksFolder), m_path(QDir(booksFolder).filePath(QStringLiteral("Data/.lock")))
{
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0) ::close(m_fd);
}

bool SingleInstance::acquire()
{
    m_error.clear();
    if (m_fd >= 0) return true;
    const QString where = QDir::toNativeSeparators(m_path);
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        m_error = QStringLiteral("无法创建文件夹：%1").arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()));
        return false;
    }
    // Not handed on to programs started from here (pg_dump, the browser).
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("无法打开锁文件 %1：%2").arg(where, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return true;
    }
    const int e = errno;
    ::close(fd);
    if (e != EWOULDBLOCK)
        m_error = QStringLiteral("无法锁定文件 %1：%2").arg(where, QString::fromLocal8Bit(std::strerror(e)));
    return false;
}
