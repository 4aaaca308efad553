// The main window: child windows, the exit question, the toolbar, the status
// bar, the background picture and the help commands.
#include "picturecraft.h"
#include "shellspy.h"
#include "testdb.h"

#include "data/globals.h"
#include "shell/artwork.h"
#include "shell/main.h"
#include "shell/screens.h"

#include <QAction>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

int g_dialogs = 0;
bool g_newEntry = false;

QWidget *listStandIn(QWidget *parent)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QStringLiteral("ListStandIn"));
    return w;
}

// A modal stand-in that notes whether it was opened as a new entry and closes itself.
QWidget *dialogStandIn(QWidget *parent)
{
    ++g_dialogs;
    auto *d = new QDialog(parent);
    QTimer::singleShot(0, d, [d] {
        g_newEntry = d->property("newEntry").toBool();
        d->accept();
    });
    return d;
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QList<QWidget *> openScreens(const frmMain &main)
{
    QList<QWidget *> out;
    for (QMdiSubWindow *s : main.mdiArea()->subWindowList()) out << s->widget();
    return out;
}

} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Only the stand-ins are registered in this program.
        Screens::add(QStringLiteral("frmJH_M"), listStandIn);
        Screens::add(QStringLiteral("frmShop_M"), listStandIn);
        Screens::add(QStringLiteral("frmWare"), dialogStandIn);
        Screens::add(QStringLiteral("frmShop_In"), dialogStandIn);
        Screens::add(QStringLiteral("frmUnits_In"), dialogStandIn);
        Screens::add(QStringLiteral("frmSType"), dialogStandIn);
    }
    void init()
    {
        G = AppGlobals();
        g_dialogs = 0;
        g_newEntry = false;
    }

    void oneListWindowAtATime();
    void unregisteredScreensOpenNothing();
    void newEntryScreensAreMarked_data();
    void newEntryScreensAreMarked();
    void exitQuestion();
    void toolbarAndStatusBar();
    void backgroundPicture();
    void helpCommands();
};

void tst_mainwindow::oneListWindowAtATime()
{
    TestDb t;
    MsgSpy msgs;
    frmMain main;
    main.applyRights(1);
    main.show();

    main.menuItem(QStringLiteral("采购入库管理 &B"))->trigger();
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QPointer<QWidget> first = openScreens(main).first();
    QVERIFY(main.mdiArea()->subWindowList().first()->isMaximized());

    main.menuItem(QStringLiteral("商品管理 &D"))->trigger();
    flushDeletes();
    QVERIFY(first.isNull());
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QPointer<QWidget> second = openScreens(main).first();

    // Opening the same list again replaces it.
    main.menuItem(QStringLiteral("商品管理 &D"))->trigger();
    flushDeletes();
    QVERIFY(second.isNull());
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);

    // A modal screen from the menu closes the list window too.
    main.menuItem(QStringLiteral("仓库设置 &S"))->trigger();
    flushDeletes();
    QCOMPARE(g_dialogs, 1);
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());

    // A list window the user closed is simply gone from the register.
    main.menuItem(QStringLiteral("采购入库管理 &B"))->trigger();
    main.mdiArea()->subWindowList().first()->close();
    flushDeletes();
    main.menuItem(QStringLiteral("商品管理 &D"))->trigger();
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QVERIFY(msgs.shown.isEmpty());
}

void tst_mainwindow::unregisteredScreensOpenNothing()
{
    TestDb t;
    MsgSpy msgs;
    frmMain main;
    main.applyRights(1);
    main.show();
    main.menuItem(QStringLiteral("采购入库管理 &B"))->trigger();
    QPointer<QWidget> list = openScreens(main).first();

    main.menuItem(QStringLiteral("采购入库明细查询 &C"))->trigger();   // a list screen not registered
    main.menuItem(QStringLiteral("采购入库单 &A"))->trigger();         // a modal one
    flushDeletes();
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());
    QVERIFY(list.isNull());   // the command still closed the open list window first
    QCOMPARE(g_dialogs, 0);
    QVERIFY(msgs.shown.isEmpty());
}

void tst_mainwindow::newEntryScreensAreMarked_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("newEntry");
    QTest::newRow("product entry") << QStringLiteral("商品录入 &B") << true;
    QTest::newRow("partner entry") << QStringLiteral("往来单位录入 &A") << true;
    QTest::newRow("categories") << QStringLiteral("商品分类 &A") << false;
}

void tst_mainwindow::newEntryScreensAreMarked()
{
    QFETCH(QString, caption);
    QFETCH(bool, newEntry);
    TestDb t;
    frmMain main;
    main.applyRights(1);
    main.show();
    main.menuItem(caption)->trigger();
    QCOMPARE(g_dialogs, 1);
    QCOMPARE(g_newEntry, newEntry);
}

void tst_mainwindow::exitQuestion()
{
    TestDb t;
    MsgSpy msgs;
    EndSpy ends;
    frmMain main;
    main.applyRights(1);
    main.show();
    main.menuItem(QStringLiteral("采购入库管理 &B"))->trigger();
    QPointer<QWidget> list = openScreens(main).first();

    msgs.answer = false;
    main.menuItem(QStringLiteral("退出 &X"))->trigger();
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown.first().kind, Msg::Kind::Question);
    QCOMPARE(msgs.lastText(), QStringLiteral("确认要退出 Tavrel进销存软件 吗？  ^_^  "));
    QCOMPARE(msgs.lastCaption(), QStringLiteral("Tavrel进销存软件"));
    flushDeletes();
    QVERIFY(main.isVisible());
    QVERIFY(!list.isNull());   // "退出" leaves the open list window alone
    QVERIFY(list->isVisible());
    QCOMPARE(ends.ended, 0);

    // The toolbar's "退出" asks the same; Yes ends the program.
    msgs.answer = true;
    main.toolButton(QStringLiteral("退出"))->click();
    QCOMPARE(msgs.shown.size(), 2);
    QCOMPARE(ends.ended, 1);
    QVERIFY(!main.isVisible());
}

void tst_mainwindow::toolbarAndStatusBar()
{
    TestDb t;
    frmMain main;
    G.WorkDate = QStringLiteral("2012-11-16");
    G.LoginName = QStringLiteral("系统管理员");
    main.show();

    QCOMPARE(main.windowTitle(), QStringLiteral("Tavrel进销存软件"));
    QVERIFY(main.windowState() & Qt::WindowMaximized);
    const QStringList captions{"采购入库", "采购退货", "销售出库", "销售退货", "商品录入", "商品调拨", "商品报损",
                               "商品报溢", "商品拆装", "应收查询", "应付查询", "库存报表", "帮助", "退出"};
    for (int i = 0; i < captions.size(); ++i) {
        auto *b = main.findChild<QToolButton *>(QStringLiteral("ToolButton%1").arg(i + 1));
        QVERIFY(b);
        QCOMPARE(b->text(), captions[i]);
        QCOMPARE(b->size(), QSize(60, 60));
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b->icon().isNull());
    }
    // Rights never hide a button (a narrow screen may fold some behind the toolbar's arrow).
    auto *bar = main.findChild<QToolBar *>(QStringLiteral("ToolBar1"));
    QCOMPARE(bar->actions().size(), captions.size());
    for (QAction *a : bar->actions()) QVERIFY(a->isVisible());
    const QStringList panels{"Tavrel进销存软件", "营业日期：", "2012-11-16", "当前用户：", "系统管理员"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(main.statusPanel(i + 1)->text(), panels[i]);
        // Panels are 100 wide, wider only where their text needs it.
        QCOMPARE(main.statusPanel(i + 1)->minimumWidth(), 100);
        QVERIFY(main.statusPanel(i + 1)->width() >= main.statusPanel(i + 1)->fontMetrics().horizontalAdvance(panels[i]));
    }
    QVERIFY(main.statusPanel(2)->alignment() & Qt::AlignRight);
    QVERIFY(main.statusPanel(4)->alignment() & Qt::AlignRight);
}

void tst_mainwindow::backgroundPicture()
{
    TestDb t;
    frmMain main;
    QTemporaryDir dir;
    G.AppPath = dir.path() + QLatin1Char('/');
    const QString file = G.AppPath + QStringLiteral("bj.jpg");
    main.resize(800, 600);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QWidget *area = main.mdiArea()->viewport();
    const auto shown = [area] { return area->grab().toImage(); };
    const auto builtIn = [area] { return Artwork::background(area->size()).toImage().convertToFormat(QImage::Format_RGB32); };
    // The picture stretched over the whole area: its white quarter in the top
    // left, its colour in the middle and on the right.
    const auto showsPicture = [&](QColor colour) {
        const QImage img = shown();
        const int w = img.width(), h = img.height();
        return PictureCraft::near(img.pixelColor(w / 8, h / 8), Qt::white)
            && PictureCraft::near(img.pixelColor(w / 2, h / 2), colour)
            && PictureCraft::near(img.pixelColor(w * 7 / 8, h / 8), colour)
            && PictureCraft::near(img.pixelColor(w - 2, h - 2), colour);
    };

    // No file: the built-in picture.
    QVERIFY(!main.loadBackground());
    QCOMPARE(shown().convertToFormat(QImage::Format_RGB32), builtIn());

    QVERIFY(!PictureCraft::write(file, PictureCraft::jpeg(PictureCraft::picture(QSize(160, 120), Qt::darkGreen))).isEmpty());
    QVERIFY(main.loadBackground());
    QVERIFY(showsPicture(Qt::darkGreen));
    QVERIFY(!showsPicture(Qt::blue));

    // Another picture in its place is the one shown.
    QVERIFY(!PictureCraft::write(file, PictureCraft::jpeg(PictureCraft::picture(QSize(90, 160), Qt::blue))).isEmpty());
    QVERIFY(main.loadBackground());
    QVERIFY(showsPicture(Qt::blue));

    // A damaged or cut-off file does not stop the window; the built-in picture is shown.
    const QByteArray whole = PictureCraft::jpeg(PictureCraft::picture(QSize(640, 480), Qt::darkGreen));
    for (const QByteArray &damaged : {QByteArray("not a picture"), whole.left(whole.size() / 2)}) {
        QVERIFY(!PictureCraft::write(file, whole).isEmpty());
        QVERIFY(main.loadBackground());
        QVERIFY(showsPicture(Qt::darkGreen));
        QVERIFY(!PictureCraft::write(file, damaged).isEmpty());
        QVERIFY(!main.loadBackground());
        QCOMPARE(shown().convertToFormat(QImage::Format_RGB32), builtIn());
    }
    QVERIFY(main.isVisible());
}

void tst_mainwindow::helpCommands()
{
    TestDb t;
    UrlSpy urls;
    // The help page is written out below the books' folder.
    G.AppPath = t.folder();
    frmMain main;
    main.show();
    main.menuItem(QStringLiteral("帮助 &H"))->trigger();
    main.menuItem(QStringLiteral("Tavrel网站 &W"))->trigger();
    QCOMPARE(urls.opened.size(), 2);
    QCOMPARE(urls.opened[0], QUrl::fromLocalFile(G.AppPath + QStringLiteral("help/index.html")));
    QVERIFY(QFileInfo::exists(urls.opened[0].toLocalFile()));
    QCOMPARE(urls.opened[1].scheme(), QStringLiteral("http"));
}

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
