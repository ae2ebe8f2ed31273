#pragma once

class CSampleDoc;

// The documents that show the result files of the last simulation run. The application object
// holds them; a document that closes clears the slot that names it.
struct CResultDocuments {
    CSampleDoc* rawDocument = nullptr;
    CSampleDoc* logDocument = nullptr;

    // The slots of the running application, when it keeps any.
    static CResultDocuments* OfApplication();

protected:
    ~CResultDocuments() = default;
};
