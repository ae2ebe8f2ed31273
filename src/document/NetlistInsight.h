#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "NetlistAnalysis.h"
#include "NetlistText.h"
#include "TextBufferObserver.h"

class CSampleDoc;

// Keeps a netlist document's analysis up to date: after the text changes and typing pauses, a
// copy of the text is read by AnalyzeNetlist on a worker thread; the result replaces the previous
// one only if the text has not changed meanwhile. A keystroke costs a timer restart and nothing
// more; the copy of a large text is taken a slice at a time between the window's other work.
// The simulator's output (the run's log and raw file) is never analysed.
class CNetlistInsight : public QObject, public CTextBufferObserver {
    Q_OBJECT
public:
    // How long typing must pause before the text is read again.
    static int delayMilliseconds;

    // Created on first use, owned by the document.
    static CNetlistInsight* Of(CSampleDoc& document);
    ~CNetlistInsight() override;

    // The last finished analysis; null before the first one is in.
    std::shared_ptr<const NetlistAnalysis> Analysis() const { return analysis; }
    // The analysis of the text as it is now: the last one when the text has not changed since,
    // else a fresh one made here and now. For commands the user gives right after typing. Null
    // for a document that is not analysed.
    std::shared_ptr<const NetlistAnalysis> Current();
    // The document's path as the analysis names its file (places whose file equals it are in
    // this document). An untitled document stands in the current folder, so that its includes
    // still resolve.
    std::string AnalysedPath() const;
    // Whether the document is one that is analysed: not the simulator's output.
    bool Analysed() const;
    // The document may have been saved under another name since its text was read: then it is
    // read again, so that the places of the analysis name its file. Cheap enough for idle time.
    void FollowPath();

    void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                            unsigned hint, int line) override;
    void AfterEditAction(EditAction, const char*) override {}

signals:
    void analysisChanged();

private:
    explicit CNetlistInsight(CSampleDoc& document);

    void Schedule(int delay);
    void StartCopy();
    void CopyOn();
    // Copies lines for about the given time; true once the whole text is in.
    bool CopySlice(std::chrono::microseconds budget);
    void Launch();
    void Take(std::uint64_t version, const std::string& path,
              std::shared_ptr<const NetlistAnalysis> result);

    CSampleDoc& document;
    QTimer afterLastChange;
    QTimer nextSlice;
    // Counts changes of the text (not of its bookmarks): what was read of it holds while this
    // stays the same.
    std::uint64_t textVersion = 1;
    // The copy being taken, of the text at copyVersion.
    std::unique_ptr<NetlistText> copy;
    int copiedLines = 0;
    std::uint64_t copyVersion = 0;
    std::shared_ptr<const NetlistAnalysis> analysis;
    std::uint64_t analysedVersion = 0;
    std::string analysedPath;
    // What the last analysis sent to the pool reads.
    std::uint64_t launchedVersion = 0;
    std::string launchedPath;
};
