#include "ResultDocuments.h"

#include "WinApp.h"

CResultDocuments* CResultDocuments::OfApplication() {
    return dynamic_cast<CResultDocuments*>(CWinApp::Instance());
}
