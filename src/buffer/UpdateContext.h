#pragma once

#include "TextPosition.h"

// Handed to the views with each change: moves a text position to where the same character is
// after the change. A context lives only for the duration of the notification.
class CUpdateContext {
public:
    virtual void AdjustPosition(TextPosition& position) const = 0;

protected:
    ~CUpdateContext() = default;
};
