#include "frmpic_v.h"
#include "picturefiles.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "ui/pictureio.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

PictureArea::PictureArea(QWidget *parent) : QScrollArea(parent)
{
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Image1"));
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(m_label);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Dark);
}

void PictureArea::setImage(const QImage &image)
{
    m_label->setPixmap(QPixmap::fromImage(image));
    m_label->resize(image.size());
}

void PictureArea::clear()
{
    m_label->setPixmap(QPixmap());
    m_label->resize(0, 0);
}

QSize PictureArea::shownSize() const
{
    const QPixmap pm = m_label->pixmap();
    return pm.isNull() ? QSize(0, 0) : pm.size();
}

QString productPictureCaption(int id)
{
    const auto r = DM().rows(QStringLiteral("select theNum,theName from SShop where ID=?"), {id});
    return r.isEmpty() ? QString() : r[0][0].toString() + QLatin1Char(' ') + r[0][1].toString();
}

frmPic_V::frmPic_V(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPic_V"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_area = new PictureArea(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_area);
    resize(700, 600);
}

void frmPic_V::setProduct(int id, const QString &caption)
{
    m_id = id;
    setWindowTitle(caption);
}

void frmPic_V::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    const QString file = Pictures::pictureFile(m_id);
    const QImage image = QFileInfo::exists(file) ? PictureIO::read(file).image : QImage();
    if (image.isNull()) m_area->clear();
    else m_area->setImage(image);
    m_area->setFocus();
}
