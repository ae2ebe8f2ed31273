#pragma once

#include "EditAction.h"

class CUpdateContext;

// What the buffer needs of an attached view, and nothing more. The text view implements it.
class CTextBufferObserver {
public:
    // After every change: source is the view that asked for it (or null), context moves positions
    // (null for flag changes and whole-text replacements), hint is a set of UpdateHint bits and
    // line is the first line affected (-1 for the whole text).
    virtual void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                                    unsigned hint, int line) = 0;

    // When an undo group that this view closes ends: the action and text of the last record.
    virtual void AfterEditAction(EditAction action, const char* text) = 0;

protected:
    ~CTextBufferObserver() = default;
};
