#include "dialogbuttons.h"

#include <QKeyEvent>

namespace DialogButtons {

namespace {
class EnterPresses : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            auto *b = qobject_cast<QPushButton *>(watched);
            if (b && (key == Qt::Key_Return || key == Qt::Key_Enter) && b->isEnabled()) {
                b->click();
                return true;
            }
        }
        return false;
    }
};
} // namespace

void pressOnEnter(QPushButton *button) { button->installEventFilter(new EnterPresses(button)); }

Buttons create(QDialog *dialog, Enter enter, std::initializer_list<QWidget *> leftOptions,
               const QString &actionText)
{
    auto *action = new QPushButton(actionText, dialog);
    action->setObjectName(QStringLiteral("BitBtn1"));
    auto *quit = new QPushButton(QStringLiteral("退出"), dialog);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    if (enter == EnterActs) action->setDefault(true);
    else action->setAutoDefault(false);
    quit->setAutoDefault(false);
    QObject::connect(quit, &QPushButton::clicked, dialog, &QDialog::reject);
    // A button reached by Tab is pressed by Enter too: "退出" never passes
    // Enter on to the default button.
    pressOnEnter(action);
    pressOnEnter(quit);

    auto *row = new QHBoxLayout;
    for (QWidget *w : leftOptions) row->addWidget(w);
    row->addStretch();
    row->addWidget(action);
    row->addWidget(quit);
    return {row, action, quit};
}

} // namespace DialogButtons
