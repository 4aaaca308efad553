#include "loginthrottle.h"

#include <QElapsedTimer>
#include <algorithm>

LoginThrottle::LoginThrottle(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [] {
            static QElapsedTimer since = [] {
                QElapsedTimer t;
                t.start();
                return t;
            }();
            return since.elapsed();
        };
    }
}

int LoginThrottle::secondsToWait(const QString &user) const
{
    const auto it = m_counts.constFind(user);
    if (it == m_counts.constEnd()) return 0;
    const qint64 left = it->until - m_clock();
    return left <= 0 ? 0 : static_cast<int>((left + 999) / 1000);
}

void LoginThrottle::failed(const QString &user)
{
    Count &c = m_counts[user];
    ++c.failures;
    if (c.failures < MaxFailures) return;
    // 30 s at the fifth, then 60, 120, … up to the cap.
    qint64 wait = FirstWaitSeconds;
    for (int i = MaxFailures; i < c.failures && wait < MaxWaitSeconds; ++i) wait *= 2;
    wait = std::min<qint64>(wait, MaxWaitSeconds);
    c.until = m_clock() + wait * 1000;
}

void LoginThrottle::succeeded(const QString &user) { m_counts.remove(user); }

int LoginThrottle::failures(const QString &user) const { return m_counts.value(user).failures; }

QString LoginThrottle::waitText(const QString &user) const
{
    return QStringLiteral("密码连续输错 %1 次，请 %2 秒后再试。").arg(failures(user)).arg(secondsToWait(user));
}
