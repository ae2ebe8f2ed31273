#pragma once

#include <QRect>

class QPrinter;

// One print job or preview as the view's print protocol sees it: what the job tells the view, and
// the flag by which the view ends the job after its last page.
struct CPrintInfo {
    QPrinter* printer = nullptr;
    // The printable area of the page in the painter's coordinates, set when the job begins.
    QRect drawRect;
    int currentPage = 1;
    // Set before each page; the view clears it once the page lies past the last one.
    bool continuePrinting = true;
    bool preview = false;
    // Printed to the printer as it is set up, without the print dialog.
    bool direct = false;
    // The pages asked for; toPage 0 means up to the last page.
    int fromPage = 1;
    int toPage = 0;
};
