#pragma once
// The shop options a save or a deletion decides on, read from the shop row
// (SDept) when they are needed. Several seats share the books: an option one
// seat changes counts for every other seat from its next save, whatever that
// seat read when it started. Read them inside the save's transaction, after the
// books' write lock is taken (data/transaction.h): the shop window stores its
// options under the same lock, so they cannot change while the save runs.
// The global values (data/globals.h) keep serving what the screens show.
#include <QString>

class frmDM;

struct ShopOptions {
    bool negativeStock = false;      // theFKC: issues may take stock below zero
    bool purchaseSetsPrice = false;  // theJH: a purchase receipt's prices become the products' purchase prices
    bool salesSetsPrice = false;     // theXS: a sales delivery's prices become the products' sales prices
    QString costMethod;              // theCB: the cost method word of myShopCB
};

// The options as the books hold them now (all off, no cost method, when the
// shop row is missing). Throws DbError.
ShopOptions currentShopOptions(frmDM &dm);
