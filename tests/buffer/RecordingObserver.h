#pragma once

// Test helpers shared by the buffer edit tests: a view that records what the buffer tells it,
// and a buffer that exposes its line-building operations.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "CorvelTextBuffer.h"
#include "TempFolder.h"

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
    using CCorvelTextBuffer::LimitLoadedBlock;

    void MarkModified(bool value) override {
        markModifiedCalls.push_back(value);
        CCorvelTextBuffer::MarkModified(value);
    }

    std::vector<bool> markModifiedCalls;
};

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

}  // namespace kivra_test
