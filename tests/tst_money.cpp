#include "data/money.h"

#include <QtTest>

class TstMoney : public QObject {
    Q_OBJECT
private slots:
    void parseAndShow_data();
    void parseAndShow();
    void sumsAreExact();
    void outOfRange_data();
    void outOfRange();
    void printForm_data();
    void printForm();
    void multiplyRounds();
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
    QTest::newRow("large") << "123456789012.3456" << "123456789012.3456";
}

void TstMoney::parseAndShow()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    bool ok = false;
    QCOMPARE(Money::fromString(typed, &ok).toString(), shown);
    QVERIFY(ok);
}

// Numbers past the range of Money are refused, never wrapped into another value.
void TstMoney::outOfRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("largest") << "922337203685477.5807" << true << "922337203685477.5807";
    QTest::newRow("negative largest") << "-922337203685477.5807" << true << "-922337203685477.5807";
    QTest::newRow("one past") << "922337203685477.5808" << false << "0";
    QTest::newRow("fifth decimal rounds past") << "922337203685477.58075" << false << "0";
    QTest::newRow("sixteen digits") << "9999999999999999" << false << "0";
    QTest::newRow("seventeen digits") << "99999999999999999" << false << "0";
    QTest::newRow("negative twenty digits") << "-12345678901234567890" << false << "0";
    QTest::newRow("exponent") << "1e20" << false << "0";
    QTest::newRow("exponent in range") << "1e3" << true << "1000";
}

void TstMoney::outOfRange()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, shown);
    bool ok = !accepted;
    QCOMPARE(Money::fromString(typed, &ok).toString(), shown);
    QCOMPARE(ok, accepted);
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

QTEST_APPLESS_MAIN(TstMoney)
#include "tst_money.moc"
