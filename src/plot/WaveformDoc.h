#pragma once

#include <QDateTime>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Document.h"
#include "PreparedRaw.h"
#include "RawFile.h"

// A raw file of a simulator, shown as waveforms. It is read, never edited: Save As writes a copy
// of the file. A large file is read by a thread of its own while the window stays live and says
// how far it has come; a small one is there at once.
class CWaveformDoc : public CDocument {
public:
    // Files from this size on are read in the background.
    static constexpr std::uint64_t kBackgroundFrom = 16u << 20;

    CWaveformDoc();
    ~CWaveformDoc() override;

    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    // "kivra.raw — графики": the tab and the title tell it from the file's text window.
    void SetTitle(const QString& value) override;
    void DeleteContents() override;

    // The file as last read whole; null before. A file that holds no plot is read as one without
    // plots, whose problem says why.
    std::shared_ptr<const SRawFile> File() const { return prepared ? prepared->file : nullptr; }
    // The file made ready to draw, by the thread that read it.
    std::shared_ptr<SPreparedRaw> Prepared() const { return prepared; }
    // How far the reading in the background has come, from 0 to 1; below 0 when none is going.
    double ReadingProgress() const { return reading ? progress : -1; }
    // The lines of the netlist whose run wrote the file, when known: they choose the vectors
    // shown first.
    const std::vector<std::string>& NetlistLines() const { return netlist; }

    bool FollowsRunFile() const override { return true; }
    // A new file of the run is read again and shown in every window, each keeping its view.
    void OnRunSource(const std::vector<std::string>& netlistLines, bool fileRewritten) override;

    // The hints views are updated with: the reading moved on, or a file was read.
    // The netlist became known: the windows show the file anew, with the vectors it asks for.
    enum Hint : long { FileRead = 0, ReadingMoved = 1, NetlistGiven = 2 };

private:
    void Read(const QString& path);
    void StopReading();

    std::shared_ptr<SPreparedRaw> prepared;
    // The file's size and time of change when it was read: Save As copies it only while it is
    // still what the windows show.
    qint64 readSize = -1;
    QDateTime readTime;
    std::vector<std::string> netlist;
    // The reading in the background: its thread, the flag that stops it, and where it stands.
    std::thread reader;
    std::shared_ptr<std::atomic<bool>> stopReader;
    bool reading = false;
    double progress = 0;
    // Delivers what the reader reports to the window's thread, and stops delivering with the
    // document.
    QObject receiver;
};
