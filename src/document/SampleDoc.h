#pragma once

#include <QObject>
#include <memory>

#include "CorvelTextBuffer.h"
#include "DiskChange.h"
#include "Document.h"
#include "LogFont.h"
#include "TextEncoding.h"

class CCmdUI;
class CRecoveryFolder;
class CRecoveryKeeper;
struct SRecoveryCopy;

// A netlist: the text that all its windows edit and the font they show it in.
class CBackgroundLoad;

class CSampleDoc : public CDocument {
public:
    // Files from this size on show their first screen at once and are read whole in the
    // background; the document is read-only until the rest is in.
    static constexpr qint64 kBackgroundLoadFrom = 64ll << 20;
    static constexpr std::uint64_t kFirstScreenBytes = 256u << 10;
    // Whether the rest of a large file is still being read.
    bool Loading() const;

    // The document's text. Its modified state is the document's modified flag: every change of
    // one is passed to the other.
    class CSampleTextBuffer : public CCorvelTextBuffer {
    public:
        explicit CSampleTextBuffer(CSampleDoc* owner) : ownerDocument(owner) {}
        void MarkModified(bool value) override;
        // Modified, and no undo or redo leads back to a text that counts as saved.
        void MarkUnsaved();

        CSampleDoc* ownerDocument;
    };

    CSampleDoc();
    ~CSampleDoc() override;

    bool IsModified() const override;
    void SetModifiedFlag(bool value = true) override;
    void DeleteContents() override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    // A failed store is reported with the file's name and the system's reason, and the save
    // fails: the document keeps its name and stays modified.
    bool OnSaveDocument(const QString& path) override;
    void OnCloseDocument() override;

    // Closes every untitled document that was never changed, except this one: opening a file
    // replaces the empty window the program started with.
    void CloseUntitledDocuments();

    // --- Commands
    void OnToggleReadOnly();
    void OnUpdateToggleReadOnly(CCmdUI& ui);
    // A chooser of fixed-pitch fonts; on OK every view of the document shows the new font.
    void OnChooseFont();
    // Shows the same bytes in the other encoding; the label names that encoding.
    void OnViewOtherEncoding();
    void OnUpdateViewOtherEncoding(CCmdUI& ui);
    // Start analysis: saves the netlist, runs the simulator on it and waits with the interface
    // live, shows the result files read-only, then hands the control lines to the second program.
    void OnAnalysisStart();
    // Disabled while a run waits for its first program.
    void OnUpdateAnalysisStart(CCmdUI& ui);

    // Expires when the document is deleted, so that code that let events run (a simulation
    // wait) can tell whether it is still there.
    std::weak_ptr<const void> Lifetime() const { return lifetime; }

    static const CCommandTable& ClassCommands();

    // Documents made from now on keep recovery copies in the folder; null (the start) keeps none.
    static void SetRecoveryFolder(std::shared_ptr<CRecoveryFolder> folder);
    // Takes the text of a recovery copy as this document's modified text, and keeps a copy of it
    // at once under this document's own key.
    bool RestoreRecoveryCopy(const SRecoveryCopy& copy);
    // Another program may have changed the file since this document read or wrote it: an
    // unmodified document reads it again quietly, a modified one asks first, and a file that is
    // gone is said so once, the text kept as modified. Run results are left alone: the run
    // replaces them itself.
    void CheckDiskChange();

    // Null when the document keeps no recovery copy.
    CRecoveryKeeper* Recovery() const { return recovery.get(); }

    // Shows the text in the encoding in every view; the bytes stay as they are.
    void SetEncoding(TextEncoding newEncoding);

    CSampleTextBuffer buffer;
    LogFont logFont;
    // Found when the file is opened; a new document is Windows-1251.
    TextEncoding encoding = TextEncoding::Windows1251;
    // The user chose the encoding: reading the file again after another program changed it
    // keeps that choice instead of detecting anew.
    bool encodingChosen = false;

protected:
    const CCommandTable& Commands() const override;

private:
    // The reason a load or a store gave, for the user.
    static QString FileErrorReason(int error);
    bool IsRunResult() const;
    // Before a save over the document's own file: true to go on, also when the file is unchanged.
    bool ConfirmOverwriteOfChangedFile(const QString& path);
    void TakeStamp(const QString& path);
    // The first screen of a large file now, the whole of it from a thread.
    bool OpenInBackground(const QString& path);
    void TakeBackgroundText(std::unique_ptr<CCorvelTextBuffer> text, TextEncoding encoding);
    void ShowLoadProgress(const QString& text);
    // Shows why a file could not be read.
    void ReportLoadFailure(const QString& path, int error);

    bool modifiedFlag = false;
    // The file as this document last read or wrote it, and its path then.
    SFileStamp diskStamp;
    QString stampedPath;
    bool checkingDisk = false;  // a question about the file is on screen
    std::shared_ptr<CRecoveryFolder> recoveryFolder;
    // After the buffer, so that it goes first and lets go of it.
    std::unique_ptr<CRecoveryKeeper> recovery;
    // The CNetlistInsight that CNetlistInsight::Of made; it too lets go of the buffer before
    // the buffer goes. Held as a QObject: a document that is never analysed needs no reader.
    friend class CNetlistInsight;
    std::unique_ptr<QObject> insight;
    std::shared_ptr<const int> lifetime = std::make_shared<const int>(0);
    // The rest of a large file being read while its first screen shows; it goes before the
    // buffer it hands the text to.
    std::unique_ptr<CBackgroundLoad> backgroundLoad;
};

// The font every new document starts with: "Courier New", normal weight, Cyrillic character
// set, 13, 14 or 15 pixels high on screens narrower than 800, narrower than 1024, or wider.
LogFont DefaultDocumentFont(int screenWidth);
// The width of the primary screen in pixels; 1024 when there is none.
int ScreenWidth();
