#include "frmpic_list.h"
#include "frmpic_v.h"
#include "picturefiles.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "ui/msg.h"
#include "ui/pictureio.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

// ---- model ----

void PictureListModel::setItems(QVector<Item> items)
{
    beginResetModel();
    m_items = std::move(items);
    m_thumbs.clear();
    endResetModel();
}

int PictureListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant PictureListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size()) return QVariant();
    const Item &item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return item.name;
    case IdRole: return item.id;
    case Qt::DecorationRole: {
        // Read when the box is painted, that is when it comes into view; kept
        // for the boxes seen last so scrolling back does not read again.
        if (QPixmap *cached = m_thumbs.object(item.id)) return *cached;
        ++m_loads;
        auto *pm = new QPixmap;
        const QString file = Pictures::thumbnailFile(item.id);
        // Drawn within the square: a larger file is read at that size.
        if (QFileInfo::exists(file)) *pm = QPixmap::fromImage(PictureIO::read(file, Pictures::ThumbnailSide).image);
        const QPixmap out = *pm;
        m_thumbs.insert(item.id, pm);
        return out;
    }
    default: return QVariant();
    }
}

// ---- the boxes ----

namespace {

const QSize BoxSize(216, 234);
const QPoint PictureAt(8, 16);

class PictureBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return PictureWall::Cell; }
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        p->save();
        const QRect box(option.rect.topLeft(), BoxSize);
        const bool current = option.state & QStyle::State_HasFocus || option.state & QStyle::State_Selected;
        const QPalette &pal = option.palette;
        const QFontMetrics fm(option.font);
        // A framed box with its caption in the top line, as a group box draws it.
        const int titleY = box.top() + fm.height() / 2;
        p->setPen(QPen(current ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid), current ? 2 : 1));
        p->drawRect(QRect(box.left(), titleY, box.width() - 1, box.height() - (titleY - box.top()) - 1));
        const QString name = fm.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, box.width() - 24);
        const QRect titleRect(box.left() + 8, box.top(), fm.horizontalAdvance(name) + 6, fm.height());
        p->fillRect(titleRect, pal.color(QPalette::Window));
        p->setPen(pal.color(QPalette::WindowText));
        p->drawText(titleRect, Qt::AlignCenter, name);

        const QRect pictureRect(box.topLeft() + PictureAt, QSize(Pictures::ThumbnailSide, Pictures::ThumbnailSide));
        const QPixmap pm = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
        if (!pm.isNull()) {
            const QSize s = pm.size().scaled(pictureRect.size(), Qt::KeepAspectRatio);
            QRect target(QPoint(0, 0), s);
            target.moveCenter(pictureRect.center());
            p->drawPixmap(target, pm);
        }
        p->restore();
    }
};

} // namespace

PictureWall::PictureWall(QWidget *parent) : QListView(parent)
{
    setObjectName(QStringLiteral("ScrollBox1"));
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setGridSize(Cell);
    setSpacing(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(40);
    setItemDelegate(new PictureBoxDelegate(this));
    // The boxes stand on the window's own colour, as group boxes do.
    viewport()->setBackgroundRole(QPalette::Window);
    setBackgroundRole(QPalette::Window);
    setViewportMargins(16, 8, 0, 0);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Exactly four boxes to a row.
    setFixedWidth(16 + Columns * Cell.width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth() + 2);
}

// ---- screen ----

frmPic_List::frmPic_List(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPic_List"));
    setWindowTitle(QStringLiteral("图片列表"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_model = new PictureListModel(this);
    m_wall = new PictureWall(this);
    m_wall->setModel(m_model);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_wall);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    resize(960, 530);
    // A click on a picture, or Enter on the chosen one, opens it.
    connect(m_wall, &QListView::clicked, this, &frmPic_List::openPicture);
    connect(m_wall, &QListView::activated, this, &frmPic_List::openPicture);
}

void frmPic_List::setCondition(const SqlCondition &condition)
{
    m_condition = condition;
    m_byIds = false;
    m_loaded = false;
}

void frmPic_List::setProductIds(const QList<int> &ids)
{
    m_ids = ids;
    m_byIds = true;
    m_loaded = false;
}

bool frmPic_List::load()
{
    m_loaded = true;
    const SqlCondition live{QStringLiteral("theDel=?"), {QString::fromUtf8(Words::No)}};
    const SqlCondition where = SqlCondition::all({live, m_byIds ? SqlCondition() : m_condition});
    QVector<PictureListModel::Item> items;
    try {
        const auto rows =
            DM().rows(QStringLiteral("select ID,theName from SShop where ") + where.sql + QStringLiteral(" order by ID"),
                      where.binds);
        // A list of IDs is matched here rather than spelled out in the statement:
        // any number of them, every value still bound.
        const QSet<int> wanted(m_ids.begin(), m_ids.end());
        items.reserve(rows.size());
        for (const QVariantList &r : rows) {
            const int id = r[0].toInt();
            if (m_byIds && !wanted.contains(id)) continue;
            items.push_back({id, r[1].toString()});
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return false;
    }
    m_model->setItems(std::move(items));
    if (m_model->rowCount() > 0) m_wall->setCurrentIndex(m_model->index(0));
    return true;
}

void frmPic_List::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_loaded) load();
    m_wall->setFocus();
}

void frmPic_List::openPicture(const QModelIndex &index)
{
    if (!index.isValid()) return;
    const int id = m_model->idAt(index.row());
    QString caption;
    try {
        caption = productPictureCaption(id);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    frmPic_V viewer(this);
    viewer.setProduct(id, caption);
    viewer.exec();
}
