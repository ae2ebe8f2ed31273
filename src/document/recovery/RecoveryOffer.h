#pragma once

class CRecoveryFolder;
class CWinApp;

// At start-up: each copy left by a Kivra that ended without saving is shown with its file name
// and time, and the user restores it into a modified document under the original's name,
// discards it, or keeps it for the next start.
void OfferRecoveryCopies(CWinApp& application, CRecoveryFolder& folder);
