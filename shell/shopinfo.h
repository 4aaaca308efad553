#pragma once
// The shop row (SDept): the shop's name, the five footer lines printed under
// every document, and the shop-wide options. Read for the shop window and
// stored by it; the program reads the options once at start.
#include <QString>

class frmDM;

struct ShopInfo {
    QString name;        // theName, at most 30 characters
    QString lines[5];    // thePhone, theAdd, theGG, theZH, theSW: the footer lines
    QString t1, t2, gs;  // theT1, theT2, theGS: kept as they are
    bool alert = false;  // theTX: stock alert
    QString kcMin;       // theKCMin and theKCMax as the fields show them
    QString kcMax;
    bool negativeStock = false; // theFKC
    bool jh = false, xs = false, jh1 = false, xs1 = false;
    QString costMethod;  // theCB: one of the six cost method words
};

namespace ShopInfoData {

// The shop row as the window shows it: with the alert off the limit fields show
// "0" and "1000". A database without a shop row gives the empty defaults.
ShopInfo read(frmDM &dm);

enum class Field { None, Name, KCMin, KCMax, CostMethod };

struct SaveResult {
    bool saved = false;
    Field field = Field::None; // the field to put the cursor in
    QString message;           // the message to show
};

// Checks and stores the shop row in one transaction: an empty name, a limit
// that is empty, "." or not a number, or an unknown cost method is refused
// before anything is written. A database without a shop row gets one.
// Throws DbError.
SaveResult save(frmDM &dm, const ShopInfo &info);

} // namespace ShopInfoData
