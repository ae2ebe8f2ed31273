#pragma once

#include <QString>

class CSampleDoc;

// The documents that show the result files of the last simulation run. The application object
// holds them; a document that closes clears the slot that names it.
struct CResultDocuments {
    CSampleDoc* rawDocument = nullptr;
    CSampleDoc* logDocument = nullptr;
    // The netlist the last run simulated, which the log's line numbers refer to; empty before
    // the first run.
    QString netlistPath;

    // The slots of the running application, when it keeps any.
    static CResultDocuments* OfApplication();

protected:
    ~CResultDocuments() = default;
};
