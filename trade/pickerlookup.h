#pragma once
// The lookup an entry screen runs on Enter or a double-click: no match opens
// the quick entry, one match goes straight into the caller, several open the
// picker. The caller's code decides the search and what is written.
#include "pickercaller.h"

class QWidget;

enum class LookupResult {
    Nothing,    // the row already holds a product: nothing was searched
    QuickEntry, // no match: the quick entry was shown
    Taken,      // one match: written into the caller without a window
    Picker,     // several matches: the picker was shown
};

// Product lookup for the caller's current row (myFindSP): searches by the text
// of cell 1, leaving out the products already on the caller's grid.
LookupResult lookupProduct(QWidget *parent, PickerCaller &caller);
// Partner lookup (myFindUnits) by the caller's partner boxes.
LookupResult lookupPartner(QWidget *parent, PickerCaller &caller);
