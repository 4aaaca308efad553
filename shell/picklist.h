#pragma once
// A drop-down on one of the data module's shared pick lists (accounts,
// handlers, warehouses, …). The lists are shared and re-read whenever a screen
// fills one of the same dictionary; the drop-down keeps the choice made in it
// across that.
#include <QString>

class QComboBox;
class QSqlQueryModel;
class QWidget;

QComboBox *sharedPickList(QWidget *parent, const QString &objectName, QSqlQueryModel *model);

// Chooses `text` in the drop-down; an empty or unknown text chooses nothing.
void setPick(QComboBox *box, const QString &text);
