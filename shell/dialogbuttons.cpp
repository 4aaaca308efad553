#include "dialogbuttons.h"

namespace DialogButtons {

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

    auto *row = new QHBoxLayout;
    for (QWidget *w : leftOptions) row->addWidget(w);
    row->addStretch();
    row->addWidget(action);
    row->addWidget(quit);
    return {row, action, quit};
}

} // namespace DialogButtons
