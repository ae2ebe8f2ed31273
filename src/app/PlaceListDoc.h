#pragma once

#include <vector>

#include "PlaceList.h"
#include "SampleDoc.h"

// The document of a list window of places: its text is the entries, one a line, in UTF-8. It is
// no file: it never asks to be saved, and it stays when a file opens in place of the empty
// window of the start.
class CPlaceListDoc : public CSampleDoc {
public:
    CPlaceListDoc();

    bool SaveModified() override { return true; }

    // Shows the entries instead of the ones before; the reached entry is forgotten.
    void TakeEntries(const std::vector<PlaceListEntry>& newEntries);
    const std::vector<PlaceListEntry>& Entries() const { return entries; }
    // The line an entry is shown on is its index.
    static QString LineOf(const PlaceListEntry& entry);

private:
    std::vector<PlaceListEntry> entries;
};
