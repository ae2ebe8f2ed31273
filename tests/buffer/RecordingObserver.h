#pragma once

// Test helpers shared by the buffer edit tests: a view that records what the buffer tells it,
// a buffer that exposes its line-building operations, and a scratch folder for stored files.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "CorvelTextBuffer.h"

namespace kivra_test {

struct Notification {
    CTextBufferObserver* source = nullptr;
    bool hasContext = false;
    unsigned hint = 0;
    int line = 0;

    friend bool operator==(const Notification&, const Notification&) = default;
};

struct AfterEditCall {
    EditAction action = EditAction::Unknown;
    std::string text;

    friend bool operator==(const AfterEditCall&, const AfterEditCall&) = default;
};

// A view that records every notification and every AfterEditAction call, and moves the positions
// it tracks with each context it receives, as a real view moves its caret and selection.
class RecordingObserver : public CTextBufferObserver {
public:
    void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                            unsigned hint, int line) override {
        notifications.push_back({source, context != nullptr, hint, line});
        if (context != nullptr) {
            for (TextPosition& position : tracked)
                context->AdjustPosition(position);
        }
        if (onRefresh)
            onRefresh();
    }

    void AfterEditAction(EditAction action, const char* text) override {
        afterEditCalls.push_back({action, text});
        if (onAfterEdit)
            onAfterEdit(action, text);
    }

    std::vector<Notification> notifications;
    std::vector<AfterEditCall> afterEditCalls;
    std::vector<TextPosition> tracked;
    std::function<void()> onRefresh;
    std::function<void(EditAction, const char*)> onAfterEdit;
};

// A buffer with the line-building operations opened up and its MarkModified calls counted.
class TestBuffer : public CCorvelTextBuffer {
public:
    using CCorvelTextBuffer::AddLine;
    using CCorvelTextBuffer::ExtendLine;

    void MarkModified(bool value) override {
        markModifiedCalls.push_back(value);
        CCorvelTextBuffer::MarkModified(value);
    }

    std::vector<bool> markModifiedCalls;
};

inline std::vector<std::string> LinesOf(const CCorvelTextBuffer& buffer) {
    std::vector<std::string> lines;
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        lines.emplace_back(buffer.LineText(line), buffer.LineLength(line));
    }
    return lines;
}

// Starts a new text holding the given lines, unmodified and with an empty history.
inline void StartWithLines(CCorvelTextBuffer& buffer, const std::vector<std::string>& lines) {
    buffer.Clear();
    buffer.CreateEmpty(LineEndingStyle::Win);
    std::string joined;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (index > 0)
            joined += "\r\n";
        joined += lines[index];
    }
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, joined.c_str(), endLine, endCharacter);
    buffer.MarkModified(false);
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kivra-edit-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) != nullptr)
            path_ = name.data();
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool IsReady() const { return !path_.empty(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string path = File(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

}  // namespace kivra_test
