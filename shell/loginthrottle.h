#pragma once
// Slows down guessing at the login window: after MaxFailures wrong passwords
// in a row for one user, that user's login waits, first FirstWaitSeconds, and
// twice as long after every further wrong password, up to MaxWaitSeconds. A
// right password clears the count. The counts live in this object (the login
// window's memory), not in the books: a stranger guessing at one seat cannot
// lock a user out of every seat, and a restart of the program costs as much
// time as it saves. While a user waits, no password is tried at all.
#include <QHash>
#include <QString>
#include <functional>

class LoginThrottle {
public:
    static constexpr int MaxFailures = 5;
    static constexpr int FirstWaitSeconds = 30;
    static constexpr int MaxWaitSeconds = 15 * 60;

    // A steady clock in milliseconds; tests give one they move themselves.
    using Clock = std::function<qint64()>;
    explicit LoginThrottle(Clock clock = {});

    // The seconds `user` must still wait before a password is tried (0: none).
    int secondsToWait(const QString &user) const;
    // A wrong password for `user`.
    void failed(const QString &user);
    // A right password for `user`: the count starts again.
    void succeeded(const QString &user);
    // Wrong passwords for `user` since the last right one.
    int failures(const QString &user) const;

    // "密码连续输错 5 次，请 30 秒后再试。" for `user` as things stand.
    QString waitText(const QString &user) const;

private:
    struct Count {
        int failures = 0;
        qint64 until = 0;   // clock time the wait ends
    };
    Clock m_clock;
    QHash<QString, Count> m_counts;
};
