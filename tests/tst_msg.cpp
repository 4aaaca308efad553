// Message boxes as they are really shown: Qt's standard buttons in Chinese
// and a box wide enough for its caption.
#include "screenkeys.h"
#include "ui/msg.h"
#include "shell/startup.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {
// A button's text without its accelerator: "是(&Y)" reads "是".
QString plain(const QString &t) { return QString(t).remove(QRegularExpression(QStringLiteral("\\(&.\\)|&"))); }
QStringList plain(const QStringList &l)
{
    QStringList out;
    for (const QString &t : l) out << plain(t);
    return out;
}
} // namespace

class TstMsg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void standardButtonsReadChinese();
    void boxIsAsWideAsItsCaption_data();
    void boxIsAsWideAsItsCaption();
};

void TstMsg::initTestCase()
{
    // As the program does at start.
    QVERIFY2(Shell::installQtTranslations(), "qtbase_zh_CN.qm not found (Debian package qt6-translations-l10n)");
    QVERIFY(Shell::installQtTranslations()); // a second call changes nothing
}

void TstMsg::standardButtonsReadChinese()
{
    RealModal modal;
    Msg::info(nullptr, QStringLiteral("已保存"));
    QVERIFY(Msg::ask(nullptr, QStringLiteral("继续吗？")));           // Enter takes Yes, the default
    QVERIFY(!Msg::confirmDelete(nullptr));                             // here No is the default
    QCOMPARE(modal.boxes.size(), 3);
    QCOMPARE(plain(modal.boxes[0].buttons), QStringList{QStringLiteral("确定")});
    QCOMPARE(modal.boxes[0].title, Msg::appTitle());
    QCOMPARE(plain(modal.boxes[1].buttons), (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
    QCOMPARE(plain(modal.boxes[1].defaultButton), QStringLiteral("是"));
    // Alt+Y and Alt+N answer from the keyboard.
    QCOMPARE(modal.boxes[1].buttons[0], QStringLiteral("是(&Y)"));
    QCOMPARE(modal.boxes[2].title, QStringLiteral("删除"));
    QCOMPARE(plain(modal.boxes[2].defaultButton), QStringLiteral("否"));

    // The other standard buttons come from the same translation.
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(plain(box.button(QMessageBox::Cancel)->text()), QStringLiteral("取消"));
    QCOMPARE(plain(box.button(QMessageBox::Ok)->text()), QStringLiteral("确定"));
}

void TstMsg::boxIsAsWideAsItsCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("long caption, short text")
        << QStringLiteral("大华商行 的默认选项设置 保存成功 请重新登录以后再试一次") << QStringLiteral("好");
    QTest::newRow("application title") << Msg::appTitle() << QStringLiteral("是");
    QTest::newRow("long text") << QStringLiteral("删除")
                               << QStringLiteral("第 12 行的 数量 “1.2.”不是有效的数值，请重新录入！请重新录入！");
}

void TstMsg::boxIsAsWideAsItsCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, text);
    RealModal modal;
    Msg::info(nullptr, text, caption);
    QCOMPARE(modal.boxes.size(), 1);
    const RealModal::Box &b = modal.boxes[0];
    QCOMPARE(b.title, caption);
    QCOMPARE(b.text, text);
    QFont bold = b.font;
    bold.setBold(true);
    // The caption in a bold title font, with room beside it for the title
    // bar's icon and close button.
    const QFontMetrics fm(bold);
    QVERIFY2(b.width >= fm.horizontalAdvance(caption) + 4 * fm.height(),
             qPrintable(QStringLiteral("box %1 px, caption %2 px").arg(b.width).arg(fm.horizontalAdvance(caption))));
}

QTEST_MAIN(TstMsg)
#include "tst_msg.moc"
