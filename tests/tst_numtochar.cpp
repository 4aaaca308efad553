// Amounts in Chinese capitals.
#include "data/dm.h"

#include <QtTest>

class TstNumToChar : public QObject {
    Q_OBJECT
private slots:
    void capitals_data();
    void capitals();
};

void TstNumToChar::capitals_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("words");
    QTest::newRow("1234.50") << "1234.50" << "壹仟贰佰叁拾肆元伍角";
    QTest::newRow("100") << "100" << "壹佰元整";
    QTest::newRow("12.05") << "12.05" << "壹拾贰元零伍分";
    QTest::newRow("0.5") << "0.5" << "伍角";
    QTest::newRow("0") << "0" << "";
    QTest::newRow("100 000 000") << "100000000" << "壹亿元整";
    QTest::newRow("10 000") << "10000" << "壹万元整";
    QTest::newRow("1 001") << "1001" << "壹仟零壹元整";
    QTest::newRow("0.05") << "0.05" << "伍分";
    QTest::newRow("10.5") << "10.5" << "壹拾元伍角";
    QTest::newRow("100 010") << "100010" << "壹拾万零壹拾元整";
    QTest::newRow("105 000 000") << "105000000" << "壹亿零伍佰万元整";
    QTest::newRow("1 000 000 001.01") << "1000000001.01" << "壹拾亿零壹元零壹分";
    QTest::newRow("half fen to even, down") << "0.125" << "壹角贰分";
    QTest::newRow("half fen to even, up") << "0.135" << "壹角肆分";
    QTest::newRow("largest amount held") << "99999999999.99" << "玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分";
    // A negative amount is written with "负" in front.
    QTest::newRow("negative") << "-12.05" << "负壹拾贰元零伍分";
    QTest::newRow("negative rounding to zero") << "-0.004" << "";
}

void TstNumToChar::capitals()
{
    QFETCH(QString, amount);
    QFETCH(QString, words);
    QCOMPARE(NumToChar(Money::fromString(amount)), words);
}

QTEST_APPLESS_MAIN(TstNumToChar)
#include "tst_numtochar.moc"
