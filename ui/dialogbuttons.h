#pragma once
// The button row at the foot of the small dialogs: BitBtn1 ("保存", on some
// dialogs "确认") runs the dialog's own action and BitBtn2 "退出" closes it.
// The buttons sit on the right; options that belong with them, such as
// "连续新增", stand on the left.
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include <initializer_list>

namespace DialogButtons {

// Whether Enter in the dialog presses BitBtn1 (the default button) or is left
// alone (neither button takes Enter).
enum Enter { EnterActs, EnterIgnored };

struct Buttons {
    QHBoxLayout *row;
    QPushButton *action; // BitBtn1
    QPushButton *quit;   // BitBtn2, already closing the dialog
};

// Enter on the button while it has the focus presses it, as Space does,
// without making it the dialog's default button (Enter in the fields stays
// theirs). Every button of a row gets this.
void pressOnEnter(QPushButton *button);

Buttons create(QDialog *dialog, Enter enter, std::initializer_list<QWidget *> leftOptions,
               const QString &actionText);

// The row with BitBtn1 connected to `onAction`, ready to be added to the
// dialog's layout.
template <class Dialog, class Slot>
QHBoxLayout *row(Dialog *dialog, Slot onAction, Enter enter, std::initializer_list<QWidget *> leftOptions = {},
                 const QString &actionText = QStringLiteral("保存"))
{
    const Buttons b = create(dialog, enter, leftOptions, actionText);
    QObject::connect(b.action, &QPushButton::clicked, dialog, onAction);
    return b.row;
}

} // namespace DialogButtons
