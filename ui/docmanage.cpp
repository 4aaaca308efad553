#include "docmanage.h"
#include "columnwidths.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "msg.h"
#include "resultmodel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

DocManageScreen::DocManageScreen(QWidget *parent) : ListScreen(parent)
{
    m_detailRow = new QHBoxLayout;
    bodyLayout()->addLayout(m_detailRow, 1);
    // The keyboard moves through the list as the mouse does: the details follow.
    connect(grid()->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { myList(); });
}

QTableView *DocManageScreen::addDetailGrid(const QString &objectName, const QList<ListColumn> &columns,
                                           const QString &select, int stretch)
{
    Detail d;
    d.model = new ResultModel(this);
    d.model->setColumns(columns);
    d.view = new QTableView(this);
    d.view->setObjectName(objectName);
    d.view->setModel(d.model);
    d.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d.view->setSelectionBehavior(QAbstractItemView::SelectRows);
    d.view->setSelectionMode(QAbstractItemView::SingleSelection);
    d.view->setTabKeyNavigation(false);
    d.view->verticalHeader()->hide();
    d.view->horizontalHeader()->setHighlightSections(false);
    for (int i = 0; i < columns.size(); ++i) d.view->setColumnHidden(i, columns[i].hidden);
    d.widths = new ColumnWidths(d.view, d.model, this, objectName);
    d.widths->fit();
    d.select = select;
    m_detailRow->addWidget(d.view, stretch);
    m_details << d;
    return d.view;
}

void DocManageScreen::showEvent(QShowEvent *e)
{
    ListScreen::showEvent(e);
    if (m_tabsSet) return;
    m_tabsSet = true;
    QWidget *previous = grid();
    for (const Detail &d : m_details) {
        QWidget::setTabOrder(previous, d.view);
        previous = d.view;
    }
}

void DocManageScreen::setDeleter(const QString &idField, const QString &deletedField, Deleter deleter)
{
    m_idField = idField;
    m_deletedField = deletedField;
    m_deleter = std::move(deleter);
}

QAction *DocManageScreen::addDeleteItem()
{
    QAction *a = popupMenu()->addAction(QStringLiteral("删除 &D"));
    a->setObjectName(QStringLiteral("D1"));
    connect(a, &QAction::triggered, this, &DocManageScreen::D1Click);
    return a;
}

bool DocManageScreen::currentDeleted() const
{
    return !m_deletedField.isEmpty() && currentValue(m_deletedField).toString() == QString::fromUtf8(Words::Yes);
}

void DocManageScreen::myList()
{
    const QVariant key = currentRow() < 0 ? QVariant() : currentValue(m_detailKey);
    QString failure;
    for (const Detail &d : m_details) {
        if (!key.isValid()) {
            d.model->clear();
            continue;
        }
        try {
            d.model->load(DM().db(), d.select, {key});
        } catch (const DbError &e) {
            d.model->clear();
            failure = e.text();
        }
        for (int i = 0; i < d.model->columns().size(); ++i) d.view->setColumnHidden(i, d.model->columns()[i].hidden);
        // Wide enough for every document shown since the screen opened: moving
        // through the list does not make the columns jump back and forth.
        d.widths->fit(true);
    }
    // Told once the moving in the list is over, not in the middle of it.
    if (!failure.isEmpty())
        QMetaObject::invokeMethod(this, [this, failure] { Msg::error(this, failure); }, Qt::QueuedConnection);
}

void DocManageScreen::restoreColumnWidths()
{
    ListScreen::restoreColumnWidths();
    for (const Detail &d : m_details) d.widths->restoreDefaults();
}

void DocManageScreen::D1Click()
{
    if (isEmpty() || !m_deleter || currentRow() < 0) return;
    // A document already deleted is left as it is: not even the question.
    if (currentDeleted()) return;
    const int id = currentValue(m_idField).toInt();
    if (!Msg::confirmDelete(this)) return;
    DeleteResult r;
    try {
        r = m_deleter(id);
    } catch (const DbError &e) {
        // Nothing of the deletion was kept.
        Msg::error(this, e.text());
        return;
    }
    switch (r.outcome) {
    case DeleteOutcome::Deleted:
        break;
    case DeleteOutcome::Refused:
        Msg::info(this, r.message);
        return;
    case DeleteOutcome::AlreadyDeleted:
    case DeleteOutcome::NotFound:
        // Deleted meanwhile from another window or seat: the list catches up.
        Msg::info(this, r.message);
        break;
    }
    Ref();
}
