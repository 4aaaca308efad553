#pragma once
// The management screen of one kind of document, on the list-screen frame:
// the list of documents, below it the detail grids of the current document
// (its lines, its settlements), reloaded whenever the current row changes, and
// "删除 &D" with its question. A kind configures its columns, filters, detail
// grids and delete operation; its other pop-up items are its own.
#include "data/docposting.h"
#include "listscreen.h"

#include <functional>

class QHBoxLayout;

class DocManageScreen : public ListScreen {
    Q_OBJECT
public:
    explicit DocManageScreen(QWidget *parent = nullptr);

    // A grid under the list showing the rows `select` returns for the current
    // document; its one "?" takes the current row's value of the detail key.
    // Grids stand side by side in the order added; `stretch` shares the width.
    QTableView *addDetailGrid(const QString &objectName, const QList<ListColumn> &columns, const QString &select,
                              int stretch = 1);
    // The list field the detail statements take (the document number).
    void setDetailKey(const QString &field) { m_detailKey = field; }
    ResultModel *detailModel(int index) const { return m_details.value(index).model; }
    QTableView *detailGrid(int index) const { return m_details.value(index).view; }

    // Deletion: `idField` holds the row's document ID; a row whose
    // `deletedField` (when given) reads "是" is left alone, without a question.
    using Deleter = std::function<DeleteResult(int id)>;
    void setDeleter(const QString &idField, const QString &deletedField, Deleter deleter);
    // Adds "删除 &D" (objectName "D1") to the pop-up menu.
    QAction *addDeleteItem();

    // Whether the current row is marked deleted.
    bool currentDeleted() const;

public slots:
    // Reloads the detail grids for the current row (empty without one).
    void myList();
    // "删除 &D": asks, deletes, refreshes.
    void D1Click();

protected:
    void afterRef() override { myList(); }
    // The grids under the list get their widths back too.
    void restoreColumnWidths() override;
    // Tab runs on from the list into the detail grids.
    void showEvent(QShowEvent *e) override;

private:
    struct Detail {
        QTableView *view = nullptr;
        ResultModel *model = nullptr;
        ColumnWidths *widths = nullptr;
        QString select;
    };
    QHBoxLayout *m_detailRow = nullptr;
    QList<Detail> m_details;
    QString m_detailKey;
    QString m_idField, m_deletedField;
    Deleter m_deleter;
    bool m_tabsSet = false;
};
