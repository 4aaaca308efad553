// Amounts in Chinese capitals.
#include "data/dm.h"

#include <QtTest>

class TstNumToChar : public QObject {
    Q_OBJECT
private slots:
    void capitals_data();
    void capitals();
    void sameRoundingAsFigures_data();
    void sameRoundingAsFigures();
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
    QTest::newRow("half fen away from zero") << "0.125" << "壹角叁分";
    QTest::newRow("half fen away from zero, odd") << "0.135" << "壹角肆分";
    QTest::newRow("below half a fen") << "0.1249" << "壹角贰分";
    QTest::newRow("largest amount held") << "99999999999.99" << "玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分";
    // A negative amount is written with "负" in front.
    QTest::newRow("negative") << "-12.05" << "负壹拾贰元零伍分";
    QTest::newRow("negative rounding to zero") << "-0.004" << "";
    QTest::newRow("negative half fen") << "-0.005" << "负壹分";

    // A zero group between 亿 and a lower digit is read as 零, or the amount
    // reads ten thousand times larger.
    QTest::newRow("100 001 000") << "100001000" << "壹亿零壹仟元整";
    QTest::newRow("200 005 000") << "200005000" << "贰亿零伍仟元整";
    QTest::newRow("700 000 002 000") << "700000002000" << "柒仟亿零贰仟元整";
    QTest::newRow("100 000 001") << "100000001" << "壹亿零壹元整";
    QTest::newRow("100 100 000") << "100100000" << "壹亿零壹拾万元整";
    QTest::newRow("110 000 000") << "110000000" << "壹亿壹仟万元整";
    QTest::newRow("100 001 000 000") << "100001000000" << "壹仟亿零壹佰万元整";
    QTest::newRow("100 010 000 000") << "100010000000" << "壹仟亿壹仟万元整";
    QTest::newRow("1 000 100 000 000") << "1000100000000" << "壹万零壹亿元整";
    QTest::newRow("10^12") << "1000000000000" << "壹万亿元整";

    // Zeros inside the lower groups.
    QTest::newRow("10 001") << "10001" << "壹万零壹元整";
    QTest::newRow("100 050") << "100050" << "壹拾万零伍拾元整";
    QTest::newRow("10 010 000") << "10010000" << "壹仟零壹万元整";
    QTest::newRow("101 000") << "101000" << "壹拾万壹仟元整";
    QTest::newRow("1 050") << "1050" << "壹仟零伍拾元整";
    QTest::newRow("1 409.50") << "1409.50" << "壹仟肆佰零玖元伍角";
    QTest::newRow("6 007.14") << "6007.14" << "陆仟零柒元壹角肆分";
    QTest::newRow("10") << "10" << "壹拾元整";

    // 角 and 分 after the yuan: a missing 角 before 分 is written 零, a zero
    // yuan digit before 角 may go unwritten, nothing follows 角 or 分.
    QTest::newRow("16 409.02") << "16409.02" << "壹万陆仟肆佰零玖元零贰分";
    QTest::newRow("325.04") << "325.04" << "叁佰贰拾伍元零肆分";
    QTest::newRow("1 680.32") << "1680.32" << "壹仟陆佰捌拾元叁角贰分";
    QTest::newRow("107 000.53") << "107000.53" << "壹拾万柒仟元伍角叁分";
    QTest::newRow("100 000 000.05") << "100000000.05" << "壹亿元零伍分";
    QTest::newRow("0.11") << "0.11" << "壹角壹分";
    QTest::newRow("0.01") << "0.01" << "壹分";

    // The whole range of Money is written, with the units going on in the
    // same pattern above 10^13 yuan.
    QTest::newRow("largest stored rounds up to a whole fen") << "99999999999.9999" << "壹仟亿元整";
    QTest::newRow("largest Money") << "922337203685477.5807"
                                   << "玖佰贰拾贰万叁仟叁佰柒拾贰亿零叁佰陆拾捌万伍仟肆佰柒拾柒元伍角捌分";
    QTest::newRow("negative largest Money") << "-922337203685477.5807"
                                    << "负玖佰贰拾贰万叁仟叁佰柒拾贰亿零叁佰陆拾捌万伍仟肆佰柒拾柒元伍角捌分";
}

void TstNumToChar::capitals()
{
    QFETCH(QString, amount);
    QFETCH(QString, words);
    QCOMPARE(NumToChar(Money::fromString(amount)), words);
}

// The capitals and the printed figures beside them round the same way, half
// a fen away from zero.
void TstNumToChar::sameRoundingAsFigures_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("figures");
    QTest::addColumn<QString>("words");
    QTest::newRow("8.625") << "8.625" << "8.63" << "捌元陆角叁分";
    QTest::newRow("8.635") << "8.635" << "8.64" << "捌元陆角肆分";
    QTest::newRow("0.005") << "0.005" << "0.01" << "壹分";
    QTest::newRow("9.995") << "9.995" << "10.00" << "壹拾元整";
    QTest::newRow("99 999.995") << "99999.995" << "100,000.00" << "壹拾万元整";
    QTest::newRow("-8.625") << "-8.625" << "-8.63" << "负捌元陆角叁分";
    QTest::newRow("8.6249") << "8.6249" << "8.62" << "捌元陆角贰分";
}

void TstNumToChar::sameRoundingAsFigures()
{
    QFETCH(QString, amount);
    QFETCH(QString, figures);
    QFETCH(QString, words);
    bool ok = false;
    const Money m = Money::fromString(amount, &ok);
    QVERIFY(ok);
    QCOMPARE(m.toPrintString(), figures);
    QCOMPARE(NumToChar(m), words);
}

QTEST_APPLESS_MAIN(TstNumToChar)
#include "tst_numtochar.moc"
