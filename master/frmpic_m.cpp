#include "frmpic_m.h"
#include "frmpic_v.h"
#include "picturefiles.h"

#include "data/numinput.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "ui/pictureio.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString g_lastFolder; // where the last picture was chosen, for this run
}

frmPic_M::frmPic_M(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPic_M"));
    setWindowTitle(QStringLiteral("图片管理"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_area = new PictureArea(this);
    auto button = [this](const char *name, const QString &text, void (frmPic_M::*slot)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        DialogButtons::pressOnEnter(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    m_openButton = button("Button1", QStringLiteral("打开"), &frmPic_M::Button1Click);
    QPushButton *upload = button("Button2", QStringLiteral("上传"), &frmPic_M::Button2Click);
    m_percent = new QLineEdit(QStringLiteral("100"), this);
    m_percent->setObjectName(QStringLiteral("Edit1"));
    m_percent->setMaxLength(4);
    m_percent->setFixedWidth(60);
    KeyFilter::install(m_percent, KeyFilter::Digits);
    auto *percentLabel = new QLabel(QStringLiteral("压缩比例："), this);
    percentLabel->setBuddy(m_percent);
    QPushButton *compress = button("Button3", QStringLiteral("压缩"), &frmPic_M::Button3Click);
    QPushButton *remove = button("Button4", QStringLiteral("删除"), &frmPic_M::Button4Click);
    QPushButton *quit = button("Button5", QStringLiteral("退出"), &frmPic_M::reject);
    // Enter in the percentage field compresses.
    connect(m_percent, &QLineEdit::returnPressed, this, &frmPic_M::Button3Click);

    auto *row = new QHBoxLayout;
    row->addWidget(m_openButton);
    row->addWidget(upload);
    row->addSpacing(16);
    row->addWidget(percentLabel);
    row->addWidget(m_percent);
    row->addWidget(new QLabel(QStringLiteral("%"), this));
    row->addWidget(compress);
    row->addSpacing(16);
    row->addWidget(remove);
    row->addStretch();
    row->addWidget(quit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_area, 1);
    layout->addLayout(row);
    resize(700, 600);
    m_area->setFocusPolicy(Qt::NoFocus);
    m_openButton->setFocus();
}

void frmPic_M::setProduct(int id, const QString &caption)
{
    m_id = id;
    setWindowTitle(caption);
}

void frmPic_M::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    loadPicture();
    m_openButton->setFocus();
}

void frmPic_M::loadPicture()
{
    // Without a picture file the area and the remembered size stay as they are.
    const QString file = Pictures::pictureFile(m_id);
    if (!QFileInfo::exists(file)) return;
    const PictureIO::Reading picture = PictureIO::read(file);
    if (!picture.ok()) return;
    m_area->setImage(picture.image);
    m_size = picture.image.size();
}

void frmPic_M::Button1Click()
{
    const QString dir = g_lastFolder.isEmpty() ? QDir::homePath() : g_lastFolder;
    const QString file = Msg::openFile(this, QStringLiteral("打开"), dir, PictureIO::openFilter());
    if (file.isEmpty()) return;
    g_lastFolder = QFileInfo(file).absolutePath();
    const PictureIO::Reading picture = PictureIO::read(file);
    if (!picture.ok()) {
        Msg::warning(this, QStringLiteral("所选文件不是可以读取的图片。\n") + picture.error);
        return;
    }
    m_area->setImage(picture.image);
    m_pending = file;
}

void frmPic_M::Button2Click()
{
    if (m_pending.isEmpty()) return;
    if (const QString e = Pictures::upload(m_id, m_pending); !e.isEmpty()) {
        Msg::error(this, e);
        return;
    }
    m_pending.clear();
    Msg::info(this, QStringLiteral("图片上传 成功！"));
    loadPicture();
}

void frmPic_M::Button3Click()
{
    if (m_size.isEmpty() || m_percent->text().trimmed().isEmpty()) return;
    if (!QFileInfo::exists(Pictures::pictureFile(m_id))) return;
    const NumInput::Reading p = NumInput::read(m_percent->text(), NumInput::Percent);
    if (!p.ok()) {
        Msg::info(this, p.message(QStringLiteral("压缩比例")));
        m_percent->setFocus();
        return;
    }
    if (const QString e = Pictures::compress(m_id, p.whole); !e.isEmpty()) {
        Msg::error(this, e);
        m_percent->setFocus();
        return;
    }
    Msg::info(this, QStringLiteral("图片压缩 成功！"));
    loadPicture();
}

void frmPic_M::Button4Click()
{
    if (!QFileInfo::exists(Pictures::pictureFile(m_id))) return;
    if (!Msg::confirmDelete(this)) return;
    if (const QString e = Pictures::remove(m_id); !e.isEmpty()) {
        Msg::error(this, e);
        return;
    }
    Msg::info(this, QStringLiteral("图片删除 成功！"));
    m_area->clear();
    m_size = QSize(0, 0);
    m_pending.clear();
}

void frmPic_M::reject()
{
    if (!m_pending.isEmpty()
        && !Msg::ask(this, QStringLiteral("打开的图片还没有上传，放弃吗？"), QString(), true))
        return;
    QDialog::reject();
}
