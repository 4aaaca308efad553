#include "pickerlist.h"
#include "pickercaller.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace PickerList {

void TextModel::setRows(const QStringList &captions, QVector<QStringList> rows)
{
    beginResetModel();
    m_captions = captions;
    m_rows = std::move(rows);
    endResetModel();
}

int TextModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant TextModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
    const QStringList &r = m_rows[index.row()];
    return index.column() < r.size() ? r[index.column()] : QString();
}

QVariant TextModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size())
        return m_captions[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

QTableView *create(QWidget *parent, QAbstractItemModel *model)
{
    auto *v = new QTableView(parent);
    v->setObjectName(QStringLiteral("DBGrid1"));
    v->setModel(model);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->verticalHeader()->hide();
    v->setTabKeyNavigation(false);
    return v;
}

void setWidths(QTableView *view, const QList<int> &widths)
{
    for (int c = 0; c < widths.size(); ++c) {
        if (widths[c] == 0) view->setColumnHidden(c, true);
        else if (widths[c] > 0) view->setColumnWidth(c, widths[c]);
    }
}

Key key(QEvent *e)
{
    if (e->type() != QEvent::KeyPress) return Pass;
    const auto *k = static_cast<QKeyEvent *>(e);
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Take;
    case Qt::Key_Escape:
        return Leave;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return Pass;
    default:
        // Typed characters would start a keyboard search in the list;
        // shortcuts (Ctrl+C copies the current cell) pass.
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return Pass;
        return k->text().isEmpty() ? Pass : Drop;
    }
}

} // namespace PickerList

PickerDialog::PickerDialog(const QString &name, const QString &title, QWidget *parent) : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(740, 250);

    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("Label1"));
    m_code->hide();
    m_model = new PickerList::TextModel(this);
    m_grid = PickerList::create(this, m_model);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::doubleClicked, this, &PickerDialog::myLoad);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

void PickerDialog::setCaller(PickerCaller *caller)
{
    m_caller = caller;
    m_code->setText(caller ? caller->callerCode() : QString());
}

QString PickerDialog::callerCode() const { return m_code->text(); }

void PickerDialog::fill(const QStringList &captions, QVector<QStringList> rows, const QList<int> &widths)
{
    m_model->setRows(captions, std::move(rows));
    if (m_model->rowCount() > 0) m_grid->setCurrentIndex(m_model->index(0, 0));
    PickerList::setWidths(m_grid, widths);
}

int PickerDialog::currentRow() const
{
    const QModelIndex i = m_grid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void PickerDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_grid->setFocus();
}

bool PickerDialog::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == m_grid) {
        switch (PickerList::key(e)) {
        case PickerList::Take: myLoad(); return true;
        case PickerList::Leave: reject(); return true;
        case PickerList::Drop: return true;
        case PickerList::Pass: break;
        }
    }
    return QDialog::eventFilter(obj, e);
}
