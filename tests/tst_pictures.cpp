// Product pictures: the files (upload with thumbnail, compression, deletion and
// their failures), pictures from outside (phone photos, other formats, cut-off
// and forged files), the management screen, the viewer, the picture list with
// ten thousand products, and the product list's items that open them.
#include "picturecraft.h"
#include "shellspy.h"
#include "testdb.h"

#include "data/globals.h"
#include "master/frmpic_list.h"
#include "master/frmpic_m.h"
#include "master/frmpic_v.h"
#include "master/frmshop_m.h"
#include "master/picturefiles.h"
#include "ui/pictureio.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

QString makeJpeg(const QString &file, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    // A mark in one corner, so a stretched copy is told from a cut one.
    for (int y = 0; y < size.height() / 4; ++y)
        for (int x = 0; x < size.width() / 4; ++x) image.setPixelColor(x, y, Qt::white);
    image.save(file, "JPG", 95);
    return file;
}

QSize sizeOf(const QString &file) { return QImageReader(file).size(); }

using PictureCraft::bytes;
using PictureCraft::near;

QColor centre(const QString &file)
{
    const QImage i(file);
    return i.pixelColor(i.width() / 2, i.height() / 2);
}

} // namespace

class tst_pictures : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        setSession();
    }

    void uploadMakesTheThumbnail();
    void compressionStoresTheNewSize_data();
    void compressionStoresTheNewSize();
    void replacingRebuildsTheThumbnail();
    void deleteRemovesBothFiles();
    void failuresAreTold();
    void phonePhotosAreStoredScaledDown_data();
    void phonePhotosAreStoredScaledDown();
    void jpegsBeyondTheBoundsAreRefused_data();
    void jpegsBeyondTheBoundsAreRefused();
    void otherPicturesAreStoredAsJpeg_data();
    void otherPicturesAreStoredAsJpeg();
    void wholeJpegsAreTakenAsTheyAre_data();
    void wholeJpegsAreTakenAsTheyAre();
    void cutOffJpegsAreRefused_data();
    void cutOffJpegsAreRefused();
    void managementScreen();
    void viewer();
    void pictureListShowsLiveProducts();
    void tenThousandProductsOpenAtOnce();
    void productListOpensThePictureScreens();
};

void tst_pictures::uploadMakesTheThumbnail()
{
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    QVERIFY(!QFileInfo::exists(t.folder() + "Image"));
    const QString source = makeJpeg(t.folder() + "photo.jpg", QSize(1000, 750), Qt::red);
    QCOMPARE(Pictures::upload(id, source), QString());
    // The folder is made when missing; the picture is the file chosen, byte for byte.
    QCOMPARE(Pictures::pictureFile(id), t.folder() + QStringLiteral("Image/%1.jpg").arg(id));
    QCOMPARE(Pictures::thumbnailFile(id), t.folder() + QStringLiteral("Image/%1.jpg_YS.jpg").arg(id));
    QCOMPARE(bytes(Pictures::pictureFile(id)), bytes(source));
    QCOMPARE(sizeOf(Pictures::thumbnailFile(id)), QSize(200, 200));
    QCOMPARE(QImageReader(Pictures::thumbnailFile(id)).format(), QByteArray("jpeg"));
    // Stretched, not cut: the white quarter stays a quarter.
    const QImage thumb(Pictures::thumbnailFile(id));
    QVERIFY(near(thumb.pixelColor(20, 20), Qt::white));
    QVERIFY(near(thumb.pixelColor(60, 60), Qt::red));
    QCOMPARE(QDir(Pictures::folder()).entryList(QDir::Files).size(), 2);
}

void tst_pictures::compressionStoresTheNewSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QSize>("stored");
    QTest::newRow("half") << QSize(1000, 750) << 50 << QSize(500, 375);
    QTest::newRow("remainder dropped") << QSize(333, 101) << 50 << QSize(166, 50);
    QTest::newRow("enlarged") << QSize(100, 80) << 150 << QSize(150, 120);
}

void tst_pictures::compressionStoresTheNewSize()
{
    QFETCH(QSize, size);
    QFETCH(int, percent);
    QFETCH(QSize, stored);
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    QCOMPARE(Pictures::upload(id, makeJpeg(t.folder() + "p.jpg", size, Qt::green)), QString());
    const QByteArray thumbBefore = bytes(Pictures::thumbnailFile(id));
    QSize got;
    QCOMPARE(Pictures::compress(id, percent, &got), QString());
    QCOMPARE(got, stored);
    QCOMPARE(sizeOf(Pictures::pictureFile(id)), stored);
    // The thumbnail stays as it was made at the upload.
    QCOMPARE(bytes(Pictures::thumbnailFile(id)), thumbBefore);
}

void tst_pictures::replacingRebuildsTheThumbnail()
{
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    QCOMPARE(Pictures::upload(id, makeJpeg(t.folder() + "red.jpg", QSize(300, 300), Qt::red)), QString());
    QVERIFY(near(centre(Pictures::thumbnailFile(id)), Qt::red));
    QCOMPARE(Pictures::upload(id, makeJpeg(t.folder() + "blue.jpg", QSize(640, 480), Qt::blue)), QString());
    QVERIFY(near(centre(Pictures::thumbnailFile(id)), Qt::blue));
    QCOMPARE(sizeOf(Pictures::pictureFile(id)), QSize(640, 480));
    // No temporary file is left behind.
    QCOMPARE(QDir(Pictures::folder()).entryList(QDir::Files).size(), 2);
}

void tst_pictures::deleteRemovesBothFiles()
{
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    const int other = t.addProduct(QStringLiteral("雪碧"));
    const QString source = makeJpeg(t.folder() + "p.jpg", QSize(50, 50), Qt::red);
    QCOMPARE(Pictures::upload(id, source), QString());
    QCOMPARE(Pictures::upload(other, source), QString());
    QCOMPARE(Pictures::remove(id), QString());
    QVERIFY(!QFileInfo::exists(Pictures::pictureFile(id)));
    QVERIFY(!QFileInfo::exists(Pictures::thumbnailFile(id)));
    QVERIFY(QFileInfo::exists(Pictures::pictureFile(other)));
    // Nothing to delete is no failure.
    QCOMPARE(Pictures::remove(id), QString());
}

void tst_pictures::failuresAreTold()
{
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    const QString good = makeJpeg(t.folder() + "p.jpg", QSize(40, 30), Qt::red);

    // A file that is no picture.
    const QString text = t.folder() + "note.jpg";
    {
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("text");
    }
    QVERIFY(Pictures::upload(id, text).startsWith(QStringLiteral("所选文件不是可以读取的图片")));
    QVERIFY(!QFileInfo::exists(Pictures::pictureFile(id)));

    // The "Image" folder cannot be made (a file of that name is in the way).
    {
        QFile f(t.folder() + "Image");
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(Pictures::upload(id, good).startsWith(QStringLiteral("无法创建图片文件夹")));
    QVERIFY(QFile::remove(t.folder() + "Image"));

    // The thumbnail cannot be written (a folder holds its name): told, the picture itself is in place.
    QVERIFY(QDir().mkpath(Pictures::thumbnailFile(id) + "/x"));
    QVERIFY(Pictures::upload(id, good).startsWith(QStringLiteral("生成缩略图失败")));
    QCOMPARE(sizeOf(Pictures::pictureFile(id)), QSize(40, 30));

    // Compression without a picture, or to nothing.
    QVERIFY(!Pictures::compress(id + 1, 50).isEmpty());
    QVERIFY(!Pictures::compress(id, 0).isEmpty());
    QVERIFY(Pictures::compress(id, 1).startsWith(QStringLiteral("压缩后的图片不足")));
    QCOMPARE(sizeOf(Pictures::pictureFile(id)), QSize(40, 30));

    // A thumbnail that cannot be deleted is told.
    QVERIFY(Pictures::remove(id).startsWith(QStringLiteral("无法删除图片文件")));
}

void tst_pictures::phonePhotosAreStoredScaledDown_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("stored");
    QTest::newRow("48 megapixels") << QSize(8000, 6000) << QSize(4000, 3000);
    QTest::newRow("35 megapixels, upright") << QSize(5000, 7000) << QSize(2857, 4000);
}

void tst_pictures::phonePhotosAreStoredScaledDown()
{
    QFETCH(QSize, size);
    QFETCH(QSize, stored);
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    const int id = t.addProduct(QStringLiteral("可乐"));
    const QString photo = PictureCraft::write(t.folder() + "IMG_0001.jpg", PictureCraft::jpeg(PictureCraft::picture(size, Qt::red)));
    QVERIFY(!photo.isEmpty());

    // Chosen and shown in the management screen, then uploaded.
    frmPic_M w;
    w.setProduct(id, QStringLiteral("P001 可乐"));
    w.show();
    msgs.answer = true;
    Msg::setAnswerText(photo);
    w.Button1Click();
    QCOMPARE(w.pending(), photo);
    QCOMPARE(w.area()->shownSize(), stored);
    w.Button2Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("图片上传 成功！"));
    QCOMPARE(w.pictureSize(), stored);

    // Stored as a JPEG of the smaller size, the whole picture in it.
    const QString file = Pictures::pictureFile(id);
    QVERIFY(PictureCraft::startsAsJpeg(bytes(file)));
    QCOMPARE(sizeOf(file), stored);
    const QImage picture(file);
    QVERIFY(near(picture.pixelColor(stored.width() / 8, stored.height() / 8), Qt::white));
    QVERIFY(near(picture.pixelColor(stored.width() / 2, stored.height() / 2), Qt::red));
    QCOMPARE(sizeOf(Pictures::thumbnailFile(id)), QSize(200, 200));
    // The reader's bound on one decoded image is still in force.
    QVERIFY(QImageReader::allocationLimit() > 0);
    QVERIFY(QImageReader::allocationLimit() <= PictureIO::AllocationLimitMB);

    // Compression works from the stored size.
    QSize got;
    QCOMPARE(Pictures::compress(id, 50, &got), QString());
    QCOMPARE(got, QSize(stored.width() / 2, stored.height() / 2));
}

void tst_pictures::jpegsBeyondTheBoundsAreRefused_data()
{
    // Small JPEGs whose frame header claims a size the reader will not decode.
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<QSize>("claimed");
    QTest::newRow("240 megapixels") << false << QSize(20000, 12000);
    QTest::newRow("progressive, 144 megapixels") << true << QSize(12000, 12000);
}

void tst_pictures::jpegsBeyondTheBoundsAreRefused()
{
    QFETCH(bool, progressive);
    QFETCH(QSize, claimed);
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    const QByteArray small = PictureCraft::jpeg(PictureCraft::picture(QSize(160, 120), Qt::blue), progressive);
    const QString forged = PictureCraft::write(t.folder() + "forged.jpg", PictureCraft::withFrameSize(small, claimed));
    QVERIFY(!forged.isEmpty());
    QCOMPARE(QImageReader(forged).size(), claimed);
    QElapsedTimer clock;
    clock.start();
    const QString e = Pictures::upload(id, forged);
    QVERIFY2(e.contains(QStringLiteral("图片太大")), qPrintable(e));
    QVERIFY(e.contains(QDir::toNativeSeparators(forged)));
    QVERIFY(clock.elapsed() < 1000);   // refused from the header, nothing decoded
    QVERIFY(!QFileInfo::exists(Pictures::pictureFile(id)));
    // The same picture at its true size is taken.
    const QString honest = PictureCraft::write(t.folder() + "honest.jpg", small);
    QCOMPARE(Pictures::upload(id, honest), QString());
    QCOMPARE(bytes(Pictures::pictureFile(id)), small);
}

void tst_pictures::otherPicturesAreStoredAsJpeg_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");   // the left half transparent: stored white
    const QSize size(120, 90);
    const QImage opaque = PictureCraft::picture(size, Qt::blue);
    QImage clear = opaque.convertToFormat(QImage::Format_ARGB32);
    {
        QPainter p(&clear);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(0, 0, size.width() / 2, size.height(), Qt::transparent);
    }
    QTest::newRow("png") << "photo.png" << PictureCraft::encode(opaque, "png") << size << false;
    QTest::newRow("png named .jpg") << "photo.jpg" << PictureCraft::encode(opaque, "png") << size << false;
    QTest::newRow("bmp") << "photo.bmp" << PictureCraft::encode(opaque, "bmp") << size << false;
    QTest::newRow("png with transparency") << "logo.png" << PictureCraft::encode(clear, "png") << size << true;
}

void tst_pictures::otherPicturesAreStoredAsJpeg()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    msgs.answer = true;
    const int id = t.addProduct(QStringLiteral("可乐"));
    const QString source = PictureCraft::write(t.folder() + name, content);
    QVERIFY(!content.isEmpty() && !source.isEmpty());
    frmPic_M w;
    w.setProduct(id, QStringLiteral("P001 可乐"));
    Msg::setAnswerText(source);
    w.Button1Click();
    w.Button2Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("图片上传 成功！"));

    const QByteArray stored = bytes(Pictures::pictureFile(id));
    QVERIFY(PictureCraft::startsAsJpeg(stored));
    QCOMPARE(QImage::fromData(stored, "JPG").size(), size);
    const QImage picture = QImage::fromData(stored, "JPG");
    QVERIFY(near(picture.pixelColor(size.width() * 3 / 4, size.height() / 2), Qt::blue));
    QVERIFY(near(picture.pixelColor(size.width() / 4, size.height() / 2), transparent ? Qt::white : Qt::blue));
    QCOMPARE(sizeOf(Pictures::thumbnailFile(id)), QSize(200, 200));
}

void tst_pictures::wholeJpegsAreTakenAsTheyAre_data()
{
    QTest::addColumn<QByteArray>("jpeg");
    QTest::addColumn<QByteArray>("after");   // what follows the JPEG's end in the file
    const QImage picture = PictureCraft::picture(QSize(640, 480), Qt::green);
    const QByteArray baseline = PictureCraft::jpeg(picture);
    const QByteArray progressive = PictureCraft::jpeg(picture, true);
    QTest::newRow("baseline") << baseline << QByteArray();
    QTest::newRow("progressive") << progressive << QByteArray();
    QTest::newRow("zeros after the end") << baseline << QByteArray(4096, '\0');
    // Some phones append a short video or data of their own after the picture.
    QByteArray video("\0\0\0\x18" "ftypmp42", 12);
    video += QByteArray(200000, '\xFF');
    QTest::newRow("a video after the end") << progressive << video;
}

void tst_pictures::wholeJpegsAreTakenAsTheyAre()
{
    QFETCH(QByteArray, jpeg);
    QFETCH(QByteArray, after);
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    const QString source = PictureCraft::write(t.folder() + "photo.jpg", jpeg + after);
    QCOMPARE(Pictures::upload(id, source), QString());
    // The picture byte for byte; what follows it stays behind.
    QCOMPARE(bytes(Pictures::pictureFile(id)), jpeg);
    QCOMPARE(sizeOf(Pictures::thumbnailFile(id)), QSize(200, 200));
}

void tst_pictures::cutOffJpegsAreRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray whole = PictureCraft::jpeg(PictureCraft::picture(QSize(640, 480), Qt::green));
    const QByteArray progressive = PictureCraft::jpeg(PictureCraft::picture(QSize(640, 480), Qt::green), true);
    QTest::newRow("cut in half") << whole.left(whole.size() / 2);
    QTest::newRow("cut in half, rest zeros") << whole.left(whole.size() / 2) + QByteArray(whole.size() / 2, '\0');
    QTest::newRow("progressive, cut in half") << progressive.left(progressive.size() / 2);
}

void tst_pictures::cutOffJpegsAreRefused()
{
    QFETCH(QByteArray, content);
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    msgs.answer = true;
    const int id = t.addProduct(QStringLiteral("可乐"));
    QCOMPARE(Pictures::upload(id, makeJpeg(t.folder() + "old.jpg", QSize(300, 200), Qt::red)), QString());
    const QByteArray oldPicture = bytes(Pictures::pictureFile(id));
    const QByteArray oldThumbnail = bytes(Pictures::thumbnailFile(id));
    const QString cut = PictureCraft::write(t.folder() + "cut.jpg", content);
    // Qt itself takes the part that is there.
    QVERIFY(!QImage(cut).isNull());

    const QString e = Pictures::upload(id, cut);
    QVERIFY2(e.contains(QStringLiteral("不完整")), qPrintable(e));
    QVERIFY(e.contains(QDir::toNativeSeparators(cut)));
    QCOMPARE(bytes(Pictures::pictureFile(id)), oldPicture);
    QCOMPARE(bytes(Pictures::thumbnailFile(id)), oldThumbnail);
    QCOMPARE(QDir(Pictures::folder()).entryList(QDir::Files).size(), 2);

    // "打开" refuses it too, naming it; nothing is pending.
    frmPic_M w;
    w.setProduct(id, QStringLiteral("P001 可乐"));
    w.show();
    Msg::setAnswerText(cut);
    w.Button1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Warning);
    QVERIFY(msgs.lastText().contains(QDir::toNativeSeparators(cut)));
    QVERIFY(w.pending().isEmpty());
    QCOMPARE(w.area()->shownSize(), QSize(300, 200));

    // A product picture on disk that was cut off is not shown half grey.
    QVERIFY(QFile::remove(Pictures::pictureFile(id)));
    QVERIFY(QFile::copy(cut, Pictures::pictureFile(id)));
    frmPic_V v;
    v.setProduct(id, QStringLiteral("P001 可乐"));
    v.show();
    QCOMPARE(v.area()->shownSize(), QSize(0, 0));
}

void tst_pictures::managementScreen()
{
    TestDb t;
    G.AppPath = t.folder();
    MsgSpy msgs;
    const int id = t.addProduct(QStringLiteral("可乐"));
    frmPic_M w;
    w.setProduct(id, QStringLiteral("P001 可乐"));
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("P001 可乐"));
    QCOMPARE(w.size(), QSize(700, 600));
    QCOMPARE(w.percent()->text(), QStringLiteral("100"));
    QCOMPARE(w.percent()->maxLength(), 4);
    QCOMPARE(w.focusWidget()->objectName(), QStringLiteral("Button1"));

    // No picture: the area is empty; compressing, deleting and uploading without a choice do nothing.
    QCOMPARE(w.area()->shownSize(), QSize(0, 0));
    w.Button3Click();
    w.Button4Click();
    w.Button2Click();
    QVERIFY(msgs.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(Pictures::folder()));

    // Only digits can be typed into the percentage.
    w.percent()->clear();
    QTest::keyClicks(w.percent(), "5x0.");
    QCOMPARE(w.percent()->text(), QStringLiteral("50"));

    const QString source = makeJpeg(t.folder() + "photo.jpg", QSize(1000, 750), Qt::red);
    msgs.answer = true;
    Msg::setAnswerText(source);
    w.Button1Click();
    QCOMPARE(w.pending(), source);
    QCOMPARE(w.area()->shownSize(), QSize(1000, 750));
    QVERIFY(!QFileInfo::exists(Pictures::pictureFile(id)));   // nothing written yet
    w.Button2Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("图片上传 成功！"));
    QCOMPARE(w.pictureSize(), QSize(1000, 750));
    QCOMPARE(sizeOf(Pictures::thumbnailFile(id)), QSize(200, 200));

    QTest::keyClick(w.percent(), Qt::Key_Return);   // Enter compresses
    QCOMPARE(msgs.lastText(), QStringLiteral("图片压缩 成功！"));
    QCOMPARE(w.pictureSize(), QSize(500, 375));
    QCOMPARE(sizeOf(Pictures::pictureFile(id)), QSize(500, 375));

    w.percent()->setText("0");
    w.Button3Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("压缩比例 必须大于 0，请重新录入！"));
    w.percent()->setText("1200");
    w.Button3Click();
    QVERIFY(msgs.lastText().startsWith(QStringLiteral("压缩比例 “1200”超出允许的范围")));
    QCOMPARE(sizeOf(Pictures::pictureFile(id)), QSize(500, 375));

    // Deleting asks first.
    msgs.answer = false;
    w.Button4Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("确认要删除吗？该删除将不可恢复！"));
    QVERIFY(QFileInfo::exists(Pictures::pictureFile(id)));
    msgs.answer = true;
    w.Button4Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("图片删除 成功！"));
    QVERIFY(!QFileInfo::exists(Pictures::pictureFile(id)));
    QVERIFY(!QFileInfo::exists(Pictures::thumbnailFile(id)));
    QCOMPARE(w.area()->shownSize(), QSize(0, 0));

    // A picture chosen and not uploaded: Esc asks before it is dropped.
    w.Button1Click();
    msgs.answer = false;
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(msgs.lastText(), QStringLiteral("打开的图片还没有上传，放弃吗？"));
    QVERIFY(w.isVisible());
}

void tst_pictures::viewer()
{
    TestDb t;
    G.AppPath = t.folder();
    const int id = t.addProduct(QStringLiteral("可乐"));
    {
        frmPic_V v;
        v.setProduct(id, QStringLiteral("P001 可乐"));
        v.show();
        QCOMPARE(v.area()->shownSize(), QSize(0, 0));
    }
    QCOMPARE(Pictures::upload(id, makeJpeg(t.folder() + "p.jpg", QSize(800, 900), Qt::red)), QString());
    frmPic_V v;
    v.setProduct(id, QStringLiteral("P001 可乐"));
    v.show();
    QCOMPARE(v.windowTitle(), QStringLiteral("P001 可乐"));
    QCOMPARE(v.area()->shownSize(), QSize(800, 900));
    QCOMPARE(v.size(), QSize(700, 600));
}

void tst_pictures::pictureListShowsLiveProducts()
{
    TestDb t;
    G.AppPath = t.folder();
    const int cola = t.addProduct(QStringLiteral("可乐"));
    const int sprite = t.addProduct(QStringLiteral("雪碧"));
    const int gone = t.addProduct(QStringLiteral("删掉的"));
    const int tea = t.addProduct(QStringLiteral("茶"));
    t.dm().mySQL("update SShop set theDel='是' where ID=?", {gone});
    t.dm().mySQL("update SShop set theType='饮料' where ID in (?,?)", {cola, sprite});
    for (int id : {cola, gone}) QCOMPARE(Pictures::upload(id, makeJpeg(t.folder() + "p.jpg", QSize(90, 60), Qt::red)), QString());

    frmPic_List all;
    all.setCondition(SqlCondition());
    all.show();
    QCOMPARE(all.windowTitle(), QStringLiteral("图片列表"));
    QCOMPARE(all.model()->rowCount(), 3);
    QCOMPARE(all.model()->idAt(0), cola);
    QCOMPARE(all.model()->index(1).data().toString(), QStringLiteral("雪碧"));
    QCOMPARE(all.model()->idAt(2), tea);
    // The thumbnail where there is one; an empty box where there is none.
    QCOMPARE(qvariant_cast<QPixmap>(all.model()->index(0).data(Qt::DecorationRole)).size(), QSize(200, 200));
    QVERIFY(qvariant_cast<QPixmap>(all.model()->index(1).data(Qt::DecorationRole)).isNull());
    // Four boxes to a row: the fifth would start a new row.
    QCOMPARE(all.wall()->gridSize(), QSize(224, 240));
    QVERIFY(all.wall()->viewport()->width() >= 4 * 224);
    QVERIFY(all.wall()->viewport()->width() < 5 * 224);

    frmPic_List filtered;
    filtered.setCondition(SqlCondition{"theType=?", {QStringLiteral("饮料")}});
    QVERIFY(filtered.load());
    QCOMPARE(filtered.model()->rowCount(), 2);

    frmPic_List byIds;
    byIds.setProductIds({tea, gone, cola});
    QVERIFY(byIds.load());
    QCOMPARE(byIds.model()->rowCount(), 2);
    QCOMPARE(byIds.model()->idAt(0), cola);
    QCOMPARE(byIds.model()->idAt(1), tea);
}

void tst_pictures::tenThousandProductsOpenAtOnce()
{
    TestDb t;
    G.AppPath = t.folder();
    t.dm().mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<10000) "
                 "insert into SShop(theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,theKCMin,"
                 "theKCMax,theCD,thePH,Remark,theDate,theState,theDel) "
                 "select printf('P%05d',i),'商品'||i,'','','','个',1,2,1,100,0,1000,'','','','','启用','否' from n");
    const QString source = makeJpeg(t.folder() + "p.jpg", QSize(60, 60), Qt::blue);
    for (int id : {1, 2, 9999, 10000}) QCOMPARE(Pictures::upload(id, source), QString());

    frmPic_List list;
    list.setCondition(SqlCondition());
    QElapsedTimer clock;
    clock.start();
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCoreApplication::processEvents();
    const qint64 opened = clock.elapsed();
    qInfo("10 000 products open in %lld ms", opened);
    QVERIFY(opened < 2000);
    QCOMPARE(list.model()->rowCount(), 10000);
    // Only the boxes in view read their thumbnails.
    const int first = list.model()->loads();
    QVERIFY(first > 0);
    QVERIFY2(first <= 4 * 4, qPrintable(QString::number(first)));

    list.wall()->scrollToBottom();
    list.wall()->viewport()->repaint();
    QCoreApplication::processEvents();
    QVERIFY(list.model()->loads() > first);
    QVERIFY(list.model()->loads() <= 2 * 16);
    // The last box, now in view, shows its thumbnail.
    const QRect last = list.wall()->visualRect(list.model()->index(9999));
    QVERIFY(list.wall()->viewport()->rect().intersects(last));
}

void tst_pictures::productListOpensThePictureScreens()
{
    TestDb t;
    G.AppPath = t.folder();
    const int cola = t.addProduct(QStringLiteral("可乐"));
    t.dm().mySQL("update SShop set theNum='P001' where ID=?", {cola});
    t.addProduct(QStringLiteral("雪碧"));
    frmShop_M list;
    list.show();
    list.BitBtn1Click();
    QCOMPARE(list.rowCount(), 2);
    list.grid()->selectRow(0);
    QCOMPARE(list.currentValue("ID").toInt(), cola);

    // Each item opens its screen modally, in its own loop; the stand-in closes it.
    struct Seen {
        QString className, title;
        int rows = -1;
    } seen;
    auto watch = [&] {
        QTimer::singleShot(0, &list, [&] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w) return;
            seen.className = QString::fromLatin1(w->metaObject()->className());
            seen.title = w->windowTitle();
            if (auto *l = qobject_cast<frmPic_List *>(w)) seen.rows = l->model()->rowCount();
            w->close();
        });
    };
    const QPair<const char *, const char *> items[] = {{"M1", "frmPic_M"}, {"K1", "frmPic_V"}, {"B1", "frmPic_List"}};
    for (const auto &item : items) {
        seen = Seen();
        watch();
        list.findChild<QAction *>(QLatin1String(item.first))->trigger();
        QCOMPARE(seen.className, QLatin1String(item.second));
        if (QLatin1String(item.first) != QLatin1String("B1")) QCOMPARE(seen.title, QStringLiteral("P001 可乐"));
        else QCOMPARE(seen.rows, 2);
    }
}

QTEST_MAIN(tst_pictures)
#include "tst_pictures.moc"
