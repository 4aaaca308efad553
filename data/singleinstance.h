#pragma once
// Keeps a second copy of the program from working on the same books: a lock
// on the file Data/.lock in the books' folder (flock). The system lets go of
// it when the program ends in any way, a crash or kill -9 included, so no
// lock is ever left behind; copies on other books (another user's, another
// folder) do not meet. Two locks taken in one process meet as well.
#include <QString>

class SingleInstance {
public:
    // booksFolder: the folder of the books (AppPath); the lock file is
    // booksFolder/Data/.lock, made (with Data/) when missing.
    explicit SingleInstance(const QString &booksFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this object now holds the lock. False when another copy holds
    // it (error() empty) or the lock file cannot be made (the reason, naming
    // the file, in error()).
    bool acquire();
    QString lockPath() const { return m_path; }
    QString booksFolder() const { return m_folder; }
    QString error() const { return m_error; }
private:
    QString m_folder;
    QString m_path;
    QString m_error;
    int m_fd = -1;
};
