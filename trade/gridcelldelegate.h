#pragma once
// The in-place editor of a line grid cell. Every key typed in the editor is
// shown to the screen first (key filters, Enter navigation, recomputation), and
// the cell follows the editor on every change, so the screen reads what the
// user is typing while the editor is still open.
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

class QKeyEvent;
class QLineEdit;

class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // keyPress returns true when the key was consumed; editor is the open editor.
    using KeyPress = std::function<bool(QKeyEvent *e, QWidget *editor)>;
    using KeyRelease = std::function<void()>;

    GridCellDelegate(KeyPress press, KeyRelease release, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

    // Writes the editor's text into its cell and closes it.
    void finish(QWidget *editor);
    // The editor last opened, while it is open.
    QLineEdit *openEditor() const;

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    KeyPress m_press;
    KeyRelease m_release;
    mutable QPointer<QLineEdit> m_editor;
};
