#include "gridcelldelegate.h"

#include <QKeyEvent>
#include <QLineEdit>

GridCellDelegate::GridCellDelegate(KeyPress press, KeyRelease release, QObject *parent)
    : QStyledItemDelegate(parent), m_press(std::move(press)), m_release(std::move(release))
{
}

QWidget *GridCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    // Pasting through the editor's own menu would get round the key filters.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    auto *self = const_cast<GridCellDelegate *>(this);
    connect(edit, &QLineEdit::textEdited, self, [self, edit] { emit self->commitData(edit); });
    m_editor = edit;
    return edit;
}

void GridCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The cell was just written from this editor: leave the cursor where it is.
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (edit && edit->text() == index.data(Qt::EditRole).toString()) return;
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridCellDelegate::finish(QWidget *editor)
{
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QLineEdit *GridCellDelegate::openEditor() const
{
    return m_editor && m_editor->isVisible() ? m_editor.data() : nullptr;
}

bool GridCellDelegate::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::KeyPress && m_press) {
        if (m_press(static_cast<QKeyEvent *>(e), qobject_cast<QWidget *>(obj))) return true;
    } else if (e->type() == QEvent::KeyRelease && m_release) {
        const bool r = QStyledItemDelegate::eventFilter(obj, e);
        m_release();
        return r;
    }
    return QStyledItemDelegate::eventFilter(obj, e);
}
