#include "data/dberror.h"
#include "data/money.h"

#include <QtTest>

class TstMoney : public QObject {
    Q_OBJECT
private slots:
    void parseAndShow_data();
    void parseAndShow();
    void sumsAreExact();
    void printForm_data();
    void printForm();
    void multiplyRounds();
    void outOfRangeIsInvalid_data();
    void outOfRangeIsInvalid();
    void invalidNeverReachesAStatement();
};

void TstMoney::parseAndShow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("integer") << "12" << "12";
    QTest::newRow("decimal") << "12.50" << "12.5";
    QTest::newRow("four decimals") << "0.0001" << "0.0001";
    QTest::newRow("fifth decimal rounds") << "0.00005" << "0.0001";
    QTest::newRow("negative") << "-3.25" << "-3.25";
    QTest::newRow("zero point zero") << "0.0" << "0";
    QTest::newRow("empty") << "" << "0";
    QTest::newRow("largest of the range") << "99999999999.9999" << "99999999999.9999";
    QTest::newRow("smallest of the range") << "-99999999999.9999" << "-99999999999.9999";
}

void TstMoney::parseAndShow()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    bool ok = false;
    QCOMPARE(Money::fromString(typed, &ok).toString(), shown);
    QVERIFY(ok);
}

void TstMoney::sumsAreExact()
{
    Money balance = Money::fromString("0.3");
    balance -= Money::fromString("0.1");
    balance -= Money::fromString("0.2");
    QCOMPARE(balance.toString(), QString("0"));
    QVERIFY(balance.isZero());
    // The same through doubles, as values come back from the database.
    Money viaDouble = Money::fromDouble(0.1 + 0.2);
    QCOMPARE(viaDouble, Money::fromString("0.3"));
    bool ok = true;
    Money::fromString("12a", &ok);
    QVERIFY(!ok);
}

void TstMoney::printForm_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("printed");
    QTest::newRow("thousands") << "1234.5" << "1,234.50";
    QTest::newRow("millions") << "1234567" << "1,234,567.00";
    QTest::newRow("round half up") << "0.005" << "0.01";
    QTest::newRow("negative") << "-1000" << "-1,000.00";
    QTest::newRow("zero") << "0" << "0.00";
}

void TstMoney::printForm()
{
    QFETCH(QString, value);
    QFETCH(QString, printed);
    QCOMPARE(Money::fromString(value).toPrintString(), printed);
}

void TstMoney::multiplyRounds()
{
    // 90 % of 10 × 3 = 27, as a discounted sales line.
    QCOMPARE((Money::fromString("10") * Money::fromString("90") * Money::fromString("3") / 100).toString(), QString("27"));
    QCOMPARE((Money::fromString("1") / Money::fromString("3")).toString(), QString("0.3333"));
    QCOMPARE((Money::fromString("2") / Money::fromString("3")).toString(), QString("0.6667"));
    QCOMPARE((Money::fromString("5") / Money()).toString(), QString("0"));
}

void TstMoney::outOfRangeIsInvalid_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("parse 10^11") << "parse 100000000000";
    QTest::newRow("parse sixteen digits") << "parse 9999999999999999";
    QTest::newRow("parse forty digits") << "parse 1234567890123456789012345678901234567890";
    QTest::newRow("parse 1e20") << "parse 1e20";
    QTest::newRow("double 1e11") << "double";
    QTest::newRow("product") << "product";
    QTest::newRow("sales line") << "sales line";
    QTest::newRow("sum") << "sum";
    QTest::newRow("difference") << "difference";
    QTest::newRow("whole multiple") << "multiple";
    QTest::newRow("invalid stays invalid") << "sticky";
}

void TstMoney::outOfRangeIsInvalid()
{
    QFETCH(QString, what);
    const Money big = Money::fromString("99999999999");
    // A 13-digit barcode scanned into the quantity cell of a line priced 200.
    const Money barcode = Money::fromString("6901234567892");
    Money r;
    bool ok = true;
    if (what.startsWith("parse ")) r = Money::fromString(what.mid(6), &ok);
    else if (what == "double") r = Money::fromDouble(1e11);
    else if (what == "product") r = Money::fromString("200") * barcode;
    else if (what == "sales line") r = Money::product(Money::fromString("200"), barcode, 90, 100);
    else if (what == "sum") r = big + Money::fromString("1");
    else if (what == "difference") r = -big - Money::fromString("1");
    else if (what == "multiple") r = big * qint64(2);
    else if (what == "sticky") r = (big + big) - big;
    QVERIFY(!r.isValid());
    QVERIFY(!ok || !what.startsWith("parse "));
    QCOMPARE(r.toString(), QString("超出范围"));
    // Never a wrapped-round value of the other sign.
    QVERIFY(!(r > Money()));
}

void TstMoney::invalidNeverReachesAStatement()
{
    QVERIFY_THROWS_EXCEPTION(DbError, Money::invalid().toVariant());
    // Inside the range everything binds exactly.
    QCOMPARE(Money::max().toVariant().toDouble(), 99999999999.9999);
    QCOMPARE(Money::product(Money::fromString("10"), Money::fromString("3"), 90, 100).toString(), QString("27"));
    // The sales line rounds once: 0.3333 × 3 × 50 % = 0.49995 → 0.5.
    QCOMPARE(Money::product(Money::fromString("0.3333"), Money::fromString("3"), 50, 100).toString(), QString("0.5"));
}

QTEST_APPLESS_MAIN(TstMoney)
#include "tst_money.moc"
