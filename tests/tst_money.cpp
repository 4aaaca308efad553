#include "data/dberror.h"
#include "data/money.h"
#include "data/numinput.h"

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
    void outOfRangeIsInvalid_data();
    void outOfRangeIsInvalid();
    void invalidNeverReachesAStatement();
    void readTypedNumbers_data();
    void readTypedNumbers();
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

// Numbers past the range of Money are refused, never wrapped into another value.
void TstMoney::outOfRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("largest stored") << "99999999999.9999" << true << "99999999999.9999";
    QTest::newRow("negative largest stored") << "-99999999999.9999" << true << "-99999999999.9999";
    QTest::newRow("past the books, still a value") << "100000000000" << true << "100000000000";
    QTest::newRow("largest value") << "922337203685477.5807" << true << "922337203685477.5807";
    QTest::newRow("one past") << "922337203685477.5808" << false << "超出范围";
    QTest::newRow("fifth decimal rounds past") << "922337203685477.58075" << false << "超出范围";
    QTest::newRow("sixteen digits") << "9999999999999999" << false << "超出范围";
    QTest::newRow("seventeen digits") << "99999999999999999" << false << "超出范围";
    QTest::newRow("negative twenty digits") << "-12345678901234567890" << false << "超出范围";
    QTest::newRow("exponent") << "1e20" << false << "超出范围";
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

void TstMoney::outOfRangeIsInvalid_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("fits"); // a value at all, though outside what the books store
    QTest::newRow("parse 10^11") << "parse 100000000000" << true;
    QTest::newRow("parse sixteen digits") << "parse 9999999999999999" << false;
    QTest::newRow("parse forty digits") << "parse 1234567890123456789012345678901234567890" << false;
    QTest::newRow("parse 1e20") << "parse 1e20" << false;
    QTest::newRow("double 1e11") << "double" << true;
    QTest::newRow("barcode times price") << "product" << false;
    QTest::newRow("barcode on a sales line") << "sales line" << false;
    QTest::newRow("sum past the books") << "sum" << true;
    QTest::newRow("difference past the books") << "difference" << true;
    QTest::newRow("whole multiple") << "multiple" << true;
    QTest::newRow("multiple past 64 bits") << "multiple64" << false;
    QTest::newRow("invalid stays invalid") << "sticky" << false;
}

void TstMoney::outOfRangeIsInvalid()
{
    QFETCH(QString, what);
    QFETCH(bool, fits);
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
    else if (what == "multiple64") r = big * qint64(1000000000);
    else if (what == "sticky") r = Money::invalid() + Money::fromString("1") - Money::invalid();
    QCOMPARE(r.isValid(), fits);
    QCOMPARE(ok, fits || !what.startsWith("parse "));
    QVERIFY(!r.isStorable());
    // Never bound to a statement, never a wrapped-round value of the other sign.
    QVERIFY_THROWS_EXCEPTION(DbError, r.toVariant());
    if (!fits) QCOMPARE(r.toString(), QString("超出范围"));
    if (what == "product" || what == "sales line") QVERIFY(!(r > Money()));
}

void TstMoney::invalidNeverReachesAStatement()
{
    QVERIFY_THROWS_EXCEPTION(DbError, Money::invalid().toVariant());
    // Inside the range everything binds exactly.
    QCOMPARE(Money::storeMax().toVariant().toDouble(), 99999999999.9999);
    QCOMPARE(Money::product(Money::fromString("10"), Money::fromString("3"), 90, 100).toString(), QString("27"));
    // The sales line rounds once: 0.3333 × 3 × 50 % = 0.49995 → 0.5.
    QCOMPARE(Money::product(Money::fromString("0.3333"), Money::fromString("3"), 50, 100).toString(), QString("0.5"));
}

void TstMoney::readTypedNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("value");   // empty when refused
    QTest::addColumn<QString>("message"); // for the label "数量"
    const int A = NumInput::Amount, P = NumInput::Price, Q = NumInput::Quantity, Z = NumInput::Percent,
              S = NumInput::SignedAmount;
    QTest::newRow("plain") << "12.5" << P << "12.5" << "";
    QTest::newRow("blanks around") << " 3 " << Q << "3" << "";
    QTest::newRow("leading dot") << ".5" << Q << "0.5" << "";
    QTest::newRow("trailing dot") << "5." << Q << "5" << "";
    QTest::newRow("empty") << "" << Q << "" << "数量 不能为空，请重新录入！";
    QTest::newRow("lone dot") << "." << Q << "" << "数量 “.”不是有效的数值，请重新录入！";
    QTest::newRow("two points") << "1.2." << Q << "" << "数量 “1.2.”不是有效的数值，请重新录入！";
    QTest::newRow("letters") << "12a" << A << "" << "数量 “12a”不是有效的数值，请重新录入！";
    QTest::newRow("exponent") << "1e3" << A << "" << "数量 “1e3”不是有效的数值，请重新录入！";
    QTest::newRow("full-width digits") << "１２" << A << "" << "数量 “１２”不是有效的数值，请重新录入！";
    QTest::newRow("pasted minus") << "-5" << Q << "" << "数量 不能小于零，请重新录入！";
    QTest::newRow("minus where allowed") << "-5" << S << "-5" << "";
    QTest::newRow("plus sign") << "+5" << Q << "" << "数量 “+5”不是有效的数值，请重新录入！";
    QTest::newRow("five decimals") << "0.12345" << P << "" << "数量 最多只能有四位小数，请重新录入！";
    QTest::newRow("largest amount") << "99999999999.9999" << A << "99999999999.9999" << "";
    QTest::newRow("amount of 10^11") << "100000000000" << A << "" << "数量 “100000000000”超出允许的范围（最大 99999999999.9999），请重新录入！";
    QTest::newRow("sixteen digits") << "1234567890123456" << Q << "" << "数量 “1234567890123456”超出允许的范围（最大 999999999.9999），请重新录入！";
    QTest::newRow("barcode as quantity") << "6901234567892" << Q << "" << "数量 “6901234567892”超出允许的范围（最大 999999999.9999），请重新录入！";
    QTest::newRow("largest quantity") << "999999999.9999" << Q << "999999999.9999" << "";
    QTest::newRow("a thousand million") << "1000000000" << Q << "" << "数量 “1000000000”超出允许的范围（最大 999999999.9999），请重新录入！";
    QTest::newRow("discount") << "90" << Z << "90" << "";
    QTest::newRow("discount with a point") << "90.5" << Z << "" << "数量 只能是整数，请重新录入！";
    QTest::newRow("discount of 1000") << "1000" << Z << "" << "数量 “1000”超出允许的范围（最大 999），请重新录入！";
}

void TstMoney::readTypedNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, rule);
    QFETCH(QString, value);
    QFETCH(QString, message);
    const NumInput::Reading r = NumInput::read(text, NumInput::Rule(rule));
    QCOMPARE(r.ok(), !value.isEmpty());
    QCOMPARE(r.message(QStringLiteral("数量")), message);
    if (r.ok()) {
        QCOMPARE(r.value.toString(), value);
        if (rule == NumInput::Percent) QCOMPARE(QString::number(r.whole), value);
    } else {
        QVERIFY(r.value.isZero());
    }
    // An empty optional field reads as 0.
    QVERIFY(NumInput::read("", NumInput::Rule(rule), true).ok());
}

QTEST_APPLESS_MAIN(TstMoney)
#include "tst_money.moc"
