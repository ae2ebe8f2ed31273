#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Document.h"
#include "RawFile.h"

// A raw file of a simulator, shown as waveforms. It is read, never edited: Save As writes a copy
// of the file.
class CWaveformDoc : public CDocument {
public:
    bool OnOpenDocument(const QString& path) override;
    // "kivra.raw — графики": the tab and the title tell it from the file's text window.
    void SetTitle(const QString& value) override;
    bool OnSaveDocument(const QString& path) override;
    void DeleteContents() override;

    // The file as last read; null before it was. A file that holds no plot is read as one
    // without plots, whose problem says why.
    std::shared_ptr<const SRawFile> File() const { return file; }
    // The lines of the netlist whose run wrote the file, when known: they choose the vectors
    // shown first.
    const std::vector<std::string>& NetlistLines() const { return netlist; }
    bool FollowsRunFile() const override { return true; }
    // A new file of the run is read again and shown in every window, each keeping its view.
    void OnRunSource(const std::vector<std::string>& netlistLines, bool fileRewritten) override;

private:
    void Read(const QString& path);

    std::shared_ptr<const SRawFile> file;
    std::vector<std::string> netlist;
};
