// Four seats on the same books at the same time, each a process of its own
// (concurrent_seat): 200 purchase receipts and 200 sales deliveries each on
// the same ten products, with settlements and deletions in between. Afterwards
// the books must still add up: no number given twice, every stock the sum of
// its ledger and never below zero, every ledger balance the running sum of its
// movements, every partner's balance its documents less their settlements.
#include "data/dm.h"
#include "data/globals.h"
#include "testdb.h"

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TstConcurrency : public QObject {
    Q_OBJECT
private slots:
    void fourSeatsKeepTheBooksWhole();
};

namespace {

constexpr int Seats = 4;
constexpr int Rounds = 200;   // receipts, and as many deliveries, per seat

int counted(const QString &output, const char *name)
{
    const QRegularExpression re(QStringLiteral("\\b%1=(\\d+)").arg(QLatin1String(name)));
    const auto m = re.match(output);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

void TstConcurrency::fourSeatsKeepTheBooksWhole()
{
    TestDb t;
    setSession();
    for (int i = 1; i <= 10; ++i) t.addProduct(QStringLiteral("商品%1").arg(i), Money::fromString("5"), Money::fromString("8"));
    for (int i = 1; i <= 3; ++i) {
        t.addPartner(QStringLiteral("供应商%1").arg(i), QStringLiteral("供应商"));
        t.addPartner(QStringLiteral("客户%1").arg(i), QStringLiteral("客户"));
    }
    // No stock below zero; prices written back; the moving average cost.
    t.dm().mySQL(QStringLiteral("update SDept set theFKC=0, theJH=1, theXS=1, theCB=?"), {QStringLiteral("移动加权平均")});

    QElapsedTimer clock;
    clock.start();
    QList<QProcess *> seats;
    // Seats still running when a check fails are ended with the test.
    struct Reaper {
        QList<QProcess *> &seats;
        ~Reaper()
        {
            for (QProcess *p : seats) {
                if (p->state() != QProcess::NotRunning) {
                    p->kill();
                    p->waitForFinished();
                }
            }
            qDeleteAll(seats);
        }
    } reaper{seats};
    for (int s = 1; s <= Seats; ++s) {
        auto *p = new QProcess;
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QStringLiteral(SEAT_PROGRAM), {booksArgument(t.location()), QString::number(s), QString::number(Rounds)});
        seats << p;
    }
    int saved = 0, refused = 0, settled = 0, deleted = 0, busy = 0;
    for (QProcess *p : seats) {
        QVERIFY(p->waitForFinished(900000));
        const QString out = QString::fromLocal8Bit(p->readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(p->readAllStandardError());
        QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, qPrintable(out + err));
        saved += counted(out, "saved");
        refused += counted(out, "refused");
        settled += counted(out, "settled");
        deleted += counted(out, "deleted");
        busy += counted(out, "busy");
    }
    qInfo("%s: %d saved, %d refused for stock, %d settled, %d deleted, %d busy answers, %.1f s",
          t.onServer() ? "server" : "file", saved, refused, settled, deleted, busy, clock.elapsed() / 1000.0);
    frmDM &dm = t.dm();
    // Every document asked for was either saved or refused for want of stock.
    QCOMPARE(saved + refused, Seats * Rounds * 2);
    QVERIFY(refused > 0);   // the seats did fight over the last units
    QVERIFY(saved > Seats * Rounds);

    // No number given twice, and none skipped: a failed or refused save uses none up.
    for (const auto &[table, prefix] : {std::pair{"UJH", "CG"}, std::pair{"UXS", "XS"}}) {
        const auto nums = dm.rows(QStringLiteral("select theNum from %1 order by theNum").arg(QLatin1String(table)));
        for (int i = 0; i < nums.size(); ++i)
            QCOMPARE(nums[i][0].toString(),
                     QLatin1String(prefix) + QStringLiteral("121116-") + QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0')));
    }
    QCOMPARE(dm.value(QStringLiteral("select count(*) from UJH")).toInt() + dm.value(QStringLiteral("select count(*) from UXS")).toInt(),
             saved);

    // Every ledger row's balance is the running sum of that product's movements
    // in that warehouse, and the stock is the sum of them all, never below zero.
    QHash<QString, Money> running;
    for (const QVariantList &r : dm.rows(QStringLiteral("select WName, SID, ICount, OCount, WCount from SList order by ID"))) {
        const QString key = r[0].toString() + QLatin1Char('/') + r[1].toString();
        running[key] += Money::fromVariant(r[2]) - Money::fromVariant(r[3]);
        QCOMPARE(Money::fromVariant(r[4]).toString(), running[key].toString());
    }
    const auto stock = dm.rows(QStringLiteral("select WName, SID, theCount from UKC"));
    QCOMPARE(stock.size(), running.size());
    for (const QVariantList &r : stock) {
        const QString key = r[0].toString() + QLatin1Char('/') + r[1].toString();
        QCOMPARE(Money::fromVariant(r[2]).toString(), running.value(key).toString());
        QVERIFY2(!Money::fromVariant(r[2]).isNegative(), qPrintable(key));
    }

    // Every partner owes, or is owed, its live documents less what was settled on them.
    struct Side { const char *head, *owed, *settle, *balance; };
    for (const Side &s : {Side{"UJH", "theYF", "UJH_FK", "theYF"}, Side{"UXS", "theYS", "UXS_SK", "theYS"}}) {
        QHash<QString, Money> settledOn;
        for (const QVariantList &r : dm.rows(QStringLiteral("select theNum, theMoney from %1").arg(QLatin1String(s.settle))))
            settledOn[r[0].toString()] += Money::fromVariant(r[1]);
        QHash<int, Money> expected;
        for (const QVariantList &r : dm.rows(QStringLiteral("select theNum, UID, theHJ, %1 from %2 where theDel='否'")
                                                 .arg(QLatin1String(s.owed), QLatin1String(s.head)))) {
            const Money open = Money::fromVariant(r[2]) - settledOn.value(r[0].toString());
            QCOMPARE(Money::fromVariant(r[3]).toString(), open.toString());   // the document's own owed column
            expected[r[1].toInt()] += open;
        }
        for (const QVariantList &r : dm.rows(QStringLiteral("select ID, %1 from SUnits").arg(QLatin1String(s.balance))))
            QCOMPARE(Money::fromVariant(r[1]).toString(), expected.value(r[0].toInt()).toString());
    }
    QVERIFY(settled > 0);
    QVERIFY(deleted > 0);
}

QTEST_GUILESS_MAIN(TstConcurrency)
#include "tst_concurrency.moc"
