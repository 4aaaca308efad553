#pragma once
// A drop-down on one of the data module's shared pick lists (accounts,
// handlers, warehouses, …). The lists are shared and re-read whenever a screen
// fills one of the same dictionary; the drop-down keeps the choice made in it
// (or none) across that. It starts with nothing chosen.
#include <QAbstractItemModel>
#include <QString>

class QComboBox;
class QWidget;

// `model` may be null (the list could not be read): the drop-down is then empty.
QComboBox *sharedPickList(QWidget *parent, const QString &objectName, QAbstractItemModel *model, int column = 0);

// Chooses `text` in the drop-down; an empty or unknown text chooses nothing.
void setPick(QComboBox *box, const QString &text);
