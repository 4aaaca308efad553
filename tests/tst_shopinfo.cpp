// The shop window, the background dialog and the about box, and the menu items
// that open the screens of shop administration.
#include "picturecraft.h"
#include "shellspy.h"
#include "testdb.h"

#include "data/globals.h"
#include "shell/about.h"
#include "shell/backgroundfile.h"
#include "shell/frmbackup.h"
#include "shell/frmbimage.h"
#include "shell/frmdept.h"
#include "shell/screens.h"
#include "master/frmimport.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

QVariantList shopRow(TestDb &t)
{
    const auto r = t.dm().rows("select theName,thePhone,theAdd,theGG,theZH,theSW,theTX,theKCMin,theKCMax,theJH,theXS,"
                               "theJH1,theXS1,theCB,theFKC,theT1,theT2,theGS from SDept");
    return r.isEmpty() ? QVariantList() : r[0];
}

QString writeJpeg(const QString &file, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(file, "JPG", 90);
    return file;
}

using PictureCraft::bytes;

} // namespace

class tst_shopinfo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        setSession();
    }

    void opensOnTheInitialShop();
    void opensWithTheAlertOn();
    void savesEveryField();
    void refusesBadValues_data();
    void refusesBadValues();
    void savesAShopRowThatWasMissing();
    void escapeAsksOnlyAfterAChange();
    void saveRunsInTheRealModalLoop();
    void background();
    void backgroundFailuresAreTold();
    void backgroundFromOutside_data();
    void backgroundFromOutside();
    void aboutBox();
    void menuScreensAreRegistered_data();
    void menuScreensAreRegistered();
};

void tst_shopinfo::opensOnTheInitialShop()
{
    TestDb t;
    frmDept w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("本店信息"));
    QCOMPARE(w.nameEdit()->text(), QStringLiteral("Tavrel软件"));
    QCOMPARE(w.focusWidget(), w.nameEdit());
    QCOMPARE(w.nameEdit()->maxLength(), 30);
    QCOMPARE(w.lineEdit(4)->maxLength(), 100);
    QCOMPARE(w.kcMinEdit()->maxLength(), 10);
    QVERIFY(!w.alertBox()->isChecked());
    QCOMPARE(w.kcMinEdit()->text(), QStringLiteral("0"));
    QCOMPARE(w.kcMaxEdit()->text(), QStringLiteral("1000"));
    QVERIFY(!w.kcMinEdit()->isEnabled());
    QVERIFY(w.costButton(5)->isChecked());
    QCOMPARE(w.costButton(5)->text(), QStringLiteral("采购单价"));
    QVERIFY(!w.optionBox(0)->isChecked());
    QVERIFY(!w.optionBox(1)->isChecked());
    QVERIFY(w.optionBox(2)->isChecked());
    QVERIFY(w.optionBox(3)->isChecked());
    // Ticking the alert makes the limits editable; a letter cannot be typed into them.
    w.alertBox()->setChecked(true);
    QVERIFY(w.kcMinEdit()->isEnabled());
    QVERIFY(w.kcMaxEdit()->isEnabled());
    w.kcMinEdit()->clear();
    QTest::keyClicks(w.kcMinEdit(), "1a2.5");
    QCOMPARE(w.kcMinEdit()->text(), QStringLiteral("12.5"));
}

void tst_shopinfo::opensWithTheAlertOn()
{
    TestDb t;
    t.dm().mySQL("update SDept set theTX=1,theKCMin=5,theKCMax=250.5,theCB='先进先出',theFKC=1");
    frmDept w;
    QVERIFY(w.alertBox()->isChecked());
    QCOMPARE(w.kcMinEdit()->text(), QStringLiteral("5"));
    QCOMPARE(w.kcMaxEdit()->text(), QStringLiteral("250.5"));
    QVERIFY(w.kcMaxEdit()->isEnabled());
    QVERIFY(w.costButton(1)->isChecked());
    QVERIFY(w.negativeBox()->isChecked());
}

void tst_shopinfo::savesEveryField()
{
    TestDb t;
    t.dm().mySQL("update SDept set theT1='左上一',theT2='左上二',theGS='提醒'");
    MsgSpy msgs;
    EndSpy ends;
    frmDept w;
    w.nameEdit()->setText(QStringLiteral("新华小卖部"));
    for (int i = 0; i < 5; ++i) w.lineEdit(i)->setText(QStringLiteral("第%1行").arg(i + 1));
    w.alertBox()->setChecked(true);
    w.kcMinEdit()->setText("2");
    w.kcMaxEdit()->setText("300.25");
    w.negativeBox()->setChecked(true);
    w.optionBox(0)->setChecked(true);
    w.optionBox(3)->setChecked(false);
    w.costButton(1)->setChecked(true);
    w.findChild<QPushButton *>("BitBtn1")->click();

    QCOMPARE(msgs.lastText(), QStringLiteral("恭喜！恭喜！ 本店信息 保存成功！"));
    QCOMPARE(ends.ended, 1);
    const QVariantList r = shopRow(t);
    QCOMPARE(r[0].toString(), QStringLiteral("新华小卖部"));
    for (int i = 0; i < 5; ++i) QCOMPARE(r[1 + i].toString(), QStringLiteral("第%1行").arg(i + 1));
    QCOMPARE(r[6].toInt(), 1);
    QCOMPARE(r[7].toDouble(), 2.0);
    QCOMPARE(r[8].toDouble(), 300.25);
    QCOMPARE(r[9].toInt(), 1);
    QCOMPARE(r[10].toInt(), 0);
    QCOMPARE(r[11].toInt(), 1);
    QCOMPARE(r[12].toInt(), 0);
    QCOMPARE(r[13].toString(), QStringLiteral("先进先出"));
    QCOMPARE(r[14].toInt(), 1);
    // The hidden fields keep their values.
    QCOMPARE(r[15].toString(), QStringLiteral("左上一"));
    QCOMPARE(r[16].toString(), QStringLiteral("左上二"));
    QCOMPARE(r[17].toString(), QStringLiteral("提醒"));

    // With the alert off the limits shown are stored as well.
    frmDept again;
    again.alertBox()->setChecked(false);
    again.BitBtn1Click();
    QCOMPARE(shopRow(t)[6].toInt(), 0);
    QCOMPARE(shopRow(t)[7].toDouble(), 2.0);
    frmDept third;
    QCOMPARE(third.kcMinEdit()->text(), QStringLiteral("0"));
    QCOMPARE(third.kcMaxEdit()->text(), QStringLiteral("1000"));
    third.BitBtn1Click();
    QCOMPARE(shopRow(t)[7].toDouble(), 0.0);
    QCOMPARE(shopRow(t)[8].toDouble(), 1000.0);
}

void tst_shopinfo::refusesBadValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kcMin");
    QTest::addColumn<QString>("kcMax");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty name") << "" << "0" << "1000" << "Edit1" << "本店名称 不能为空！";
    QTest::newRow("blank name") << "   " << "0" << "1000" << "Edit1" << "本店名称 不能为空！";
    QTest::newRow("empty minimum") << "店" << "" << "1000" << "Edit10" << "最低库存 不能为空，请重新录入！";
    QTest::newRow("only a point") << "店" << "." << "1000" << "Edit10" << "最低库存 “.”不是有效的数值，请重新录入！";
    QTest::newRow("two points") << "店" << "0" << "1.2.3" << "Edit11" << "最高库存 “1.2.3”不是有效的数值，请重新录入！";
    QTest::newRow("pasted letters") << "店" << "0" << "abc" << "Edit11" << "最高库存 “abc”不是有效的数值，请重新录入！";
    QTest::newRow("pasted minus") << "店" << "-5" << "1000" << "Edit10" << "最低库存 不能小于零，请重新录入！";
}

void tst_shopinfo::refusesBadValues()
{
    QFETCH(QString, name);
    QFETCH(QString, kcMin);
    QFETCH(QString, kcMax);
    QFETCH(QString, field);
    QFETCH(QString, message);
    TestDb t;
    const QVariantList before = shopRow(t);
    MsgSpy msgs;
    EndSpy ends;
    frmDept w;
    w.show();
    w.nameEdit()->setText(name);
    w.kcMinEdit()->setText(kcMin);
    w.kcMaxEdit()->setText(kcMax);
    w.BitBtn1Click();
    QCOMPARE(msgs.lastText(), message);
    QCOMPARE(shopRow(t), before);
    QCOMPARE(ends.ended, 0);
    QVERIFY(w.isVisible());
    QCOMPARE(w.focusWidget()->objectName(), field);
}

void tst_shopinfo::savesAShopRowThatWasMissing()
{
    TestDb t;
    t.dm().mySQL("delete from SDept");
    MsgSpy msgs;
    EndSpy ends;
    frmDept w;
    QCOMPARE(w.kcMaxEdit()->text(), QStringLiteral("1000"));
    w.nameEdit()->setText(QStringLiteral("重建的店"));
    w.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("恭喜！恭喜！ 本店信息 保存成功！"));
    QCOMPARE(t.dm().value("select count(*) from SDept").toInt(), 1);
    QCOMPARE(shopRow(t)[0].toString(), QStringLiteral("重建的店"));
}

void tst_shopinfo::escapeAsksOnlyAfterAChange()
{
    TestDb t;
    MsgSpy msgs;
    {
        frmDept w;
        w.show();
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(msgs.shown.isEmpty());
        QVERIFY(!w.isVisible());
    }
    frmDept w;
    w.show();
    QTest::keyClicks(w.lineEdit(0), "8888");
    msgs.answer = false;
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(msgs.lastText(), QStringLiteral("放弃对本店信息的修改吗？"));
    QVERIFY(msgs.shown.last().defaultNo);
    QVERIFY(w.isVisible());
    msgs.answer = true;
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(shopRow(t)[1].toString(), QStringLiteral("电话：0000-00000000"));
}

void tst_shopinfo::saveRunsInTheRealModalLoop()
{
    TestDb t;
    Msg::setHandler(nullptr);
    EndSpy ends;
    frmDept w;
    QString shown;
    QTimer::singleShot(0, &w, [&] {
        QTest::keyClicks(w.nameEdit(), "A");
        QTimer::singleShot(50, &w, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        // Enter in a field presses the default button "保存".
        QTest::keyClick(w.nameEdit(), Qt::Key_Return);
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, [] {
        if (QWidget *m = QApplication::activeModalWidget()) m->close();
    });
    guard.start(3000);
    w.exec();
    QCOMPARE(shown, QStringLiteral("恭喜！恭喜！ 本店信息 保存成功！"));
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(ends.ended, 1);
    // The name is selected on opening: typing replaces it.
    QCOMPARE(shopRow(t)[0].toString(), QStringLiteral("A"));
}

void tst_shopinfo::background()
{
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    const QString picture = writeJpeg(t.folder() + "sea.jpg", QSize(64, 48), Qt::blue);
    {
        frmBImage w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("更换背景"));
        QVERIFY(w.focusWidget() && w.focusWidget()->objectName() == QLatin1String("Button1"));
        // Nothing chosen: "保存" does nothing.
        w.BitBtn1Click();
        QVERIFY(msgs.shown.isEmpty());
        msgs.answer = true;
        Msg::setAnswerText(picture);
        w.Button1Click();
        QCOMPARE(w.fileEdit()->text(), picture);
        w.BitBtn1Click();
        QCOMPARE(msgs.lastText(), QStringLiteral("背景图保存成功！请退出软件后重新登录！"));
        QVERIFY(!w.isVisible());
        QCOMPARE(bytes(BackgroundFile::path()), bytes(picture));
    }
    {
        // A cancelled chooser empties the field.
        frmBImage w;
        w.fileEdit()->setText("x");
        msgs.answer = false;
        w.Button1Click();
        QVERIFY(w.fileEdit()->text().isEmpty());
    }
    {
        frmBImage w;
        w.show();
        msgs.answer = false;
        w.BitBtn3Click();
        QCOMPARE(msgs.lastText(), QStringLiteral("确认要清除背景图吗？该清除将不可恢复！"));
        QCOMPARE(msgs.lastCaption(), QStringLiteral("清除"));
        QVERIFY(msgs.shown.last().defaultNo);
        QVERIFY(QFileInfo::exists(BackgroundFile::path()));
        msgs.answer = true;
        w.BitBtn3Click();
        QCOMPARE(msgs.lastText(), QStringLiteral("背景图清除成功！请退出软件后重新登录！"));
        QVERIFY(!QFileInfo::exists(BackgroundFile::path()));
    }
    {
        // Clearing without a picture still succeeds.
        frmBImage w;
        msgs.answer = true;
        w.BitBtn3Click();
        QCOMPARE(msgs.lastText(), QStringLiteral("背景图清除成功！请退出软件后重新登录！"));
    }
}

void tst_shopinfo::backgroundFailuresAreTold()
{
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    msgs.answer = true;
    const QString good = writeJpeg(t.folder() + "old.jpg", QSize(32, 32), Qt::red);
    QCOMPARE(BackgroundFile::install(good), QString());

    // Not a JPEG picture: refused, the old picture stays.
    const QString text = t.folder() + "note.jpg";
    {
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("no picture");
    }
    frmBImage w;
    w.show();
    Msg::setAnswerText(text);
    w.Button1Click();
    w.BitBtn1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QVERIFY(msgs.lastText().contains(QDir::toNativeSeparators(text)));
    QVERIFY(w.isVisible());
    QCOMPARE(bytes(BackgroundFile::path()), bytes(good));

    // The picture cannot be put in place (a folder of that name): told, not reported as success.
    QVERIFY(QFile::remove(BackgroundFile::path()));
    QVERIFY(QDir().mkpath(BackgroundFile::path() + "/inside"));
    Msg::setAnswerText(good);
    w.Button1Click();
    w.BitBtn1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QVERIFY(w.isVisible());
    // Nor can it be removed.
    w.BitBtn3Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QVERIFY(msgs.lastText().startsWith(QStringLiteral("无法删除背景图")));
    QVERIFY(w.isVisible());
}

void tst_shopinfo::backgroundFromOutside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("stored");   // invalid: refused
    const QByteArray whole = PictureCraft::jpeg(PictureCraft::picture(QSize(640, 480), Qt::green));
    QTest::newRow("48-megapixel photo") << PictureCraft::jpeg(PictureCraft::picture(QSize(8000, 6000), Qt::green))
                                        << QSize(4000, 3000);
    QTest::newRow("png") << PictureCraft::encode(PictureCraft::picture(QSize(64, 48), Qt::green), "png") << QSize(64, 48);
    QTest::newRow("jpeg cut in half") << whole.left(whole.size() / 2) << QSize();
}

void tst_shopinfo::backgroundFromOutside()
{
    QFETCH(QByteArray, content);
    QFETCH(QSize, stored);
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    msgs.answer = true;
    const QString old = writeJpeg(t.folder() + "old.jpg", QSize(32, 32), Qt::red);
    QCOMPARE(BackgroundFile::install(old), QString());
    const QString source = PictureCraft::write(t.folder() + "chosen.jpg", content);
    QVERIFY(!source.isEmpty());

    frmBImage w;
    w.show();
    Msg::setAnswerText(source);
    w.Button1Click();
    w.BitBtn1Click();
    if (!stored.isValid()) {
        QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
        QVERIFY(msgs.lastText().contains(QDir::toNativeSeparators(source)));
        QVERIFY(w.isVisible());
        QCOMPARE(bytes(BackgroundFile::path()), bytes(old));
        return;
    }
    QCOMPARE(msgs.lastText(), QStringLiteral("背景图保存成功！请退出软件后重新登录！"));
    // A real JPEG the main window can read, the picture whole in it.
    const QByteArray b = bytes(BackgroundFile::path());
    QVERIFY(PictureCraft::startsAsJpeg(b));
    const QImage shown = QImage::fromData(b, "JPG");
    QCOMPARE(shown.size(), stored);
    QVERIFY(PictureCraft::near(shown.pixelColor(stored.width() / 8, stored.height() / 8), Qt::white));
    QVERIFY(PictureCraft::near(shown.pixelColor(stored.width() / 2, stored.height() / 2), Qt::green));
}

void tst_shopinfo::aboutBox()
{
    G.AppVersion = QStringLiteral("5.1.13.820");
    G.AppEdition = QStringLiteral("单机版");
    G.AppPath = QStringLiteral("/home/店主/.local/share/jxc/");
    frmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("关于 Tavrel进销存软件"));
    QStringList texts;
    for (QLabel *l : about.findChildren<QLabel *>()) texts << l->text();
    QVERIFY(texts.contains(QStringLiteral("版本：5.1.13.820")));
    QVERIFY(texts.contains(QStringLiteral("版别：单机版")));
    // Where the books of this copy are.
    QVERIFY(texts.contains(QStringLiteral("账套文件夹：/home/店主/.local/share/jxc/")));
    QVERIFY(texts.join('\n').contains(QStringLiteral("网站：http://")));
}

void tst_shopinfo::menuScreensAreRegistered_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("className");
    QTest::newRow("shop") << "frmDept" << "frmDept";
    QTest::newRow("background") << "frmBImage" << "frmBImage";
    QTest::newRow("backup") << "frmBackup" << "frmBackup";
    QTest::newRow("restore") << "frmRecover" << "frmRecover";
    QTest::newRow("product import") << "frmShop_D" << "frmShop_D";
    QTest::newRow("partner import") << "frmUnits_D" << "frmUnits_D";
}

void tst_shopinfo::menuScreensAreRegistered()
{
    QFETCH(QString, screen);
    QFETCH(QString, className);
    TestDb t;
    Screens::registerAll();
    std::unique_ptr<QWidget> w(Screens::create(screen, nullptr));
    QVERIFY(w);
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), className);
    QVERIFY(qobject_cast<QDialog *>(w.get()));
}

QTEST_MAIN(tst_shopinfo)
#include "tst_shopinfo.moc"
