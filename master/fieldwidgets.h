#pragma once
// Small builders the entry groups "商品信息" and "往来单位信息" share.
class QComboBox;
class QLineEdit;
class QSqlQueryModel;
class QWidget;

// A line edit with its objectName; a maxLength of 0 keeps the default.
QLineEdit *namedEdit(QWidget *parent, const char *name, int maxLength);
// Adds the names of a pick list (its first column) to a drop-down.
void addNames(QComboBox *box, QSqlQueryModel *names);
