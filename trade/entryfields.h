#pragma once
// Fields the entry screens share: the drop-down over one of the data module's
// shared pick lists, which keeps the choice made on this screen while another
// screen re-reads the list.
#include <QString>

class QComboBox;
class QSqlQueryModel;
class QWidget;

namespace EntryFields {

QComboBox *pickList(QWidget *parent, const QString &name, QSqlQueryModel *model);
// Chooses a name in the drop-down; an empty or unknown name chooses nothing.
void setPick(QComboBox *box, const QString &text);

} // namespace EntryFields
