#pragma once
// "图片列表": the thumbnails of a set of products, four to a row, each in a
// framed box captioned with the product's name. The products come from the
// opener: a condition on the products (the product list's filter) or a list of
// product IDs (the rows of the stock query); deleted products never show.
//
// The list is a model and a view: ten thousand products open at once, and a
// thumbnail is read from disk only when its box comes into view.
#include "ui/sqlcondition.h"

#include <QAbstractListModel>
#include <QCache>
#include <QDialog>
#include <QListView>
#include <QPixmap>
#include <QVector>

class PictureListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    struct Item {
        int id;
        QString name;
    };
    void setItems(QVector<Item> items);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    int idAt(int row) const { return row >= 0 && row < m_items.size() ? m_items[row].id : 0; }
    // How many thumbnail files have been read so far.
    int loads() const { return m_loads; }

    static constexpr int IdRole = Qt::UserRole + 1;

private:
    QVector<Item> m_items;
    // About ten screens of boxes; a thumbnail is 200 × 200 (160 kB in memory).
    mutable QCache<int, QPixmap> m_thumbs{120};
    mutable int m_loads = 0;
};

class PictureWall : public QListView {
    Q_OBJECT
public:
    explicit PictureWall(QWidget *parent = nullptr);
    static constexpr int Columns = 4;
    static constexpr QSize Cell{224, 240};   // box 216 × 234 and the gap to the next
};

class frmPic_List : public QDialog {
    Q_OBJECT
public:
    explicit frmPic_List(QWidget *parent = nullptr);

    // The products: live ones matching a condition on SShop …
    void setCondition(const SqlCondition &condition);
    // … or live ones among these IDs.
    void setProductIds(const QList<int> &ids);

    // Reads the products again (also done when the screen is shown).
    bool load();

    PictureListModel *model() const { return m_model; }
    PictureWall *wall() const { return m_wall; }

public slots:
    // Opens the viewer for the product at a row of the list.
    void openPicture(const QModelIndex &index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    PictureListModel *m_model;
    PictureWall *m_wall;
    SqlCondition m_condition;
    QList<int> m_ids;
    bool m_byIds = false;
    bool m_loaded = false;
};
