#pragma once
// Values that live for the whole run: who is logged in, the business date, the
// user's default choices and the shop's options. Written at start-up (shop row)
// and at login; read everywhere.
#include <QString>

struct AppGlobals {
    QString AppPath;     // the books' folder (data/booksfolder.h), ending with a separator
    QString AppVersion;
    QString AppEdition;

    QString ShopName;
    QString ShopTX;      // "True" or "False": stock alert on
    QString ShopKCMin;   // default stock limits for new products, as text
    QString ShopKCMax;
    QString ShopCB;      // cost method word
    bool ShopJH = false;  // purchase receipts overwrite the purchase price
    bool ShopXS = false;  // sales deliveries overwrite the sales price
    bool ShopJH1 = false; // suggest the last purchase price per supplier
    bool ShopXS1 = false; // suggest the last sales price per customer
    bool ShopFKC = false; // negative stock allowed
    // The shop options above as this seat read them at start: what the screens
    // show. A save decides on the options as the books hold them when it runs
    // (data/shopoptions.h), so another seat's change counts at once.

    QString LoginName;
    // The password typed at login is not kept; the books hold only its hash.
    // On a server the stored hash itself, worked out at login, proves the
    // user to the books' functions that change users and rights
    // (serverrights.h); empty on the file.
    QString LoginProof;
    QString WorkDate;    // "yyyy-MM-dd"
    QString UserCK;      // default warehouse
    QString UserZH;      // default payment account
    QString UserJSR;     // default handler
    QString UserSFKR;    // default payer or receiver
};

extern AppGlobals G;

// The one date format of the program.
inline constexpr const char *DateFormat = "yyyy-MM-dd";
