#include "data/pinyin.h"
#include "data/pinyin/pytable.h"

#include <QtTest>

class TstPinyin : public QObject {
    Q_OBJECT
private slots:
    void inputCode_data();
    void inputCode();
    void everydayNames_data();
    void everydayNames();
    void standardReadings_data();
    void standardReadings();
    void options_data();
    void options();
    void cutToMaximumLength();
    void readingTableShape();
};

void TstPinyin::inputCode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::newRow("name with ascii") << "可口可乐 500ml" << "KKKL500ML";
    QTest::newRow("chinese punctuation") << "《新》" << "?X?";
    QTest::newRow("more chinese punctuation") << "苹果、梨。" << "PG?L?";
    QTest::newRow("full-width keeps case") << "ａｂ１" << "ab1";
    QTest::newRow("full-width brand") << "ＴＣＬ电视" << "TCLDS";
    QTest::newRow("full-width punctuation") << "（１２，３）！" << "123";
    QTest::newRow("full-width yen") << "￥５" << "5";
    QTest::newRow("ascii punctuation") << "A-b c!(x)_9" << "ABCX9";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("greek capital") << "Θ" << "TH";
    QTest::newRow("greek small") << "θ" << "TH";
    QTest::newRow("greek letters") << "αΒψΩ" << "ABPSO";
    QTest::newRow("greek row unmapped") << "︵" << "?";
    QTest::newRow("parenthesised 12") << "⑿" << "12";
    QTest::newRow("numbered forms") << "ⅹ⒛⑴①㈩Ⅻ" << "1020111012";
    QTest::newRow("other symbol") << "℃★" << "??";
    QTest::newRow("not in GBK") << QString::fromUtf8("杯\xF0\x9F\x98\x80") << "B?";
    QTest::newRow("hang") << "行" << "H";
    QTest::newRow("zhang") << "长" << "Z";
    QTest::newRow("zhong") << "重" << "Z";
    QTest::newRow("huan") << "还" << "H";
    QTest::newRow("traditional") << "還長" << "HZ";
    QTest::newRow("zhongguo") << "中国" << "ZG";
    QTest::newRow("lv") << "绿" << "L";
    QTest::newRow("compatibility ideograph") << QString(QChar(0xF92C)) << "L";
    QTest::newRow("rare ideograph") << "兙" << "?";
}

void TstPinyin::inputCode()
{
    QFETCH(QString, name);
    QFETCH(QString, code);
    QCOMPARE(myRetPY(name), code);
}

// Codes of ordinary goods and firms. Where the one reading per character
// differs from what a reader types for the word, the row says so; the code is
// what the program stores and what its users have to type.
void TstPinyin::everydayNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::newRow("青岛啤酒") << "青岛啤酒" << "QDPJ";
    QTest::newRow("农夫山泉矿泉水") << "农夫山泉矿泉水" << "NFSQKQS";
    QTest::newRow("上海大众") << "上海大众汽车有限公司" << "SHDZQCYXGS";
    QTest::newRow("康师傅") << "康师傅红烧牛肉面" << "KSFHSNRM";
    QTest::newRow("伊利纯牛奶") << "伊利纯牛奶" << "YLCNN";
    QTest::newRow("中国银行") << "中国银行" << "ZGYH";
    QTest::newRow("蒙牛") << "蒙牛" << "MN";
    QTest::newRow("娃哈哈") << "娃哈哈" << "WHH";
    QTest::newRow("海尔冰箱") << "海尔冰箱" << "HEBX";
    QTest::newRow("北京同仁堂") << "北京同仁堂" << "BJTRT";
    QTest::newRow("银行") << "银行" << "YH";
    QTest::newRow("招商银行") << "招商银行" << "ZSYH";
    QTest::newRow("百事可乐") << "百事可乐" << "BSKL";
    QTest::newRow("雪碧") << "雪碧" << "XB";
    QTest::newRow("统一绿茶") << "统一绿茶" << "TYLC";
    QTest::newRow("六个核桃") << "六个核桃" << "LGHT";
    QTest::newRow("乐事薯片") << "乐事薯片" << "LSSP";
    QTest::newRow("光明牛奶") << "光明牛奶" << "GMNN";
    QTest::newRow("双汇火腿肠") << "双汇火腿肠" << "SHHTC";
    QTest::newRow("华为手机") << "华为手机" << "HWSJ";
    QTest::newRow("格力空调") << "格力空调" << "GLKT";
    QTest::newRow("番茄酱") << "番茄酱" << "FQJ";
    QTest::newRow("人参蜂蜜") << "人参蜂蜜" << "RSFM";
    QTest::newRow("成都银行") << "成都银行" << "CDYH";
    QTest::newRow("佛山照明") << "佛山照明" << "FSZM";
    QTest::newRow("厦门航空") << "厦门航空" << "XMHK";
    QTest::newRow("美的空调型号") << "美的空调 KFR-35GW" << "MDKTKFR35GW";
    // A reader types CQHGDL: 重 reads zhong everywhere.
    QTest::newRow("重庆火锅底料") << "重庆火锅底料" << "ZQHGDL";
    // A reader types CHDS: 长 reads zhang everywhere.
    QTest::newRow("长虹电视") << "长虹电视" << "ZHDS";
    // A reader types CCPTJ.
    QTest::newRow("长城葡萄酒") << "长城葡萄酒" << "ZCPTJ";
    // A reader types XLX: 行 reads hang everywhere.
    QTest::newRow("行李箱") << "行李箱" << "HLX";
    // Characters whose old or literary reading came first in the reading list.
    QTest::newRow("豆豉") << "阳江豆豉" << "YJDC";
    QTest::newRow("川芎") << "川芎" << "CX";
    QTest::newRow("乙炔") << "乙炔气" << "YQQ";
    QTest::newRow("碌碡") << "石碌碡" << "SLZ";
    QTest::newRow("牙龈") << "护龈牙膏" << "HYYG";
    QTest::newRow("肋排") << "猪肋排" << "ZLP";
    QTest::newRow("唛头") << "唛头纸" << "MTZ";
    QTest::newRow("噱头") << "噱头" << "XT";
    // Traditional forms read as their simplified forms.
    QTest::newRow("鯽魚") << "鯽魚" << "JY";
    QTest::newRow("鉚釘") << "鉚釘" << "MD";
    QTest::newRow("牙齦") << "牙齦" << "YY";
    // Everyday forms kept although the standard dictionary reads them otherwise.
    QTest::newRow("桔子") << "金桔子" << "JJZ";
    QTest::newRow("蕃茄") << "蕃茄沙司" << "FQSS";
}

void TstPinyin::everydayNames()
{
    QFETCH(QString, name);
    QFETCH(QString, code);
    QCOMPARE(myRetPY(name), code);
}

// The whole syllable of characters the standard dictionary reads otherwise
// than the first entry of the reading list; the deliberate readings of
// characters with several readings stay.
void TstPinyin::standardReadings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("syllables");
    QTest::newRow("豉") << "豉" << "CHI";
    QTest::newRow("芎") << "芎" << "XIONG";
    QTest::newRow("炔") << "炔" << "QUE";
    QTest::newRow("碡") << "碡" << "ZHOU";
    QTest::newRow("呒") << "呒" << "M";
    QTest::newRow("龈") << "龈" << "YIN";
    QTest::newRow("traditional, reading listed") << "齦" << "YIN";
    QTest::newRow("traditional, older reading only listed") << "嘜" << "MAI";
    QTest::newRow("kept everyday readings") << "桔蕃" << "JUFAN";
    QTest::newRow("deliberate readings") << "行长重还調參" << "HANGZHANGZHONGHUANTIAOSHEN";
}

void TstPinyin::standardReadings()
{
    QFETCH(QString, name);
    QFETCH(QString, syllables);
    QCOMPARE(myRetPY(name, PY::WholeSyllable | PY::MarkUnknown), syllables);
}

void TstPinyin::options_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("code");
    QTest::newRow("whole syllables") << "中国绿茶" << (PY::WholeSyllable | PY::MarkUnknown)
                                     << "ZHONGGUOLVCHA";
    QTest::newRow("six letters") << "装双窗" << int(PY::WholeSyllable) << "ZHUANGSHUANGCHUANG";
    QTest::newRow("greek whole") << "Θ" << 0 << "TH";
    QTest::newRow("no marks") << "《新》⒁" << 0 << "X14";
    QTest::newRow("numbered form without marks") << "①" << 0 << "1";
    QTest::newRow("keep ascii punctuation") << "a-b 1" << int(PY::KeepOthers) << "A-B 1";
    QTest::newRow("keep full-width punctuation") << "（ａ，Ｂ）"
                                                 << (PY::KeepOthers | PY::MarkUnknown) << "(a,B)";
    QTest::newRow("keep still marks chinese punctuation") << "新。"
                                                          << (PY::KeepOthers | PY::MarkUnknown)
                                                          << "X?";
    QTest::newRow("negative options") << "可口可乐" << -1 << "";
}

void TstPinyin::options()
{
    QFETCH(QString, name);
    QFETCH(int, options);
    QFETCH(QString, code);
    QCOMPARE(myRetPY(name, options), code);
}

void TstPinyin::cutToMaximumLength()
{
    QCOMPARE(myRetPY(QStringLiteral("可口可乐 500ml"), PY::MarkUnknown, 6), QStringLiteral("KKKL50"));
    QCOMPARE(myRetPY(QStringLiteral("中国"), PY::WholeSyllable, 7), QStringLiteral("ZHONGGU"));
    QCOMPARE(myRetPY(QStringLiteral("中国"), PY::MarkUnknown, 0), QString());

    const QString longName = QString(300, QChar(0x4E2D)); // 300 × 中
    QCOMPARE(myRetPY(longName), QString(255, QLatin1Char('Z')));
}

// The generated table: every entry names a syllable of the list, the list is
// plain lower-case pinyin, and the rows that hold symbols carry no reading.
void TstPinyin::readingTableShape()
{
    using namespace PyTable;
    const QRegularExpression plain(QStringLiteral("^[a-z]{1,6}$"));
    for (int i = 0; i < SyllableCount; ++i) {
        QVERIFY2(plain.match(QLatin1String(Syllables[i])).hasMatch(), Syllables[i]);
        if (i > 0) QVERIFY(qstrcmp(Syllables[i - 1], Syllables[i]) < 0);
    }
    int withReading = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const int n = Readings[(lead - LeadFirst) * TrailCount + (trail - TrailFirst)];
            QVERIFY(n >= 0 && n <= SyllableCount);
            const bool symbolRow = (lead >= 0xA1 && lead <= 0xA9) || lead == 0xFE || trail == 0x7F;
            if (symbolRow) QCOMPARE(n, 0);
            if (n) ++withReading;
        }
    }
    // All of GB 2312's 6763 ideographs and most of GBK's other 14 000 read.
    QVERIFY(withReading > 20000);
    QCOMPARE(QLatin1String(syllableOf(0xD6, 0xD0)), QLatin1String("zhong")); // 中
    QCOMPARE(QLatin1String(syllableOf(0xC2, 0xCC)), QLatin1String("lv"));    // 绿
    QCOMPARE(syllableOf(0xFF, 0xA1), nullptr);
    QCOMPARE(syllableOf(0xB0, 0xFF), nullptr);
}

QTEST_APPLESS_MAIN(TstPinyin)
#include "tst_pinyin.moc"
