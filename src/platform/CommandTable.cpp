#include "CommandTable.h"

const CCommandTable::Handler* CCommandTable::FindHandler(int id) const {
    for (const CCommandTable* table = this; table != nullptr; table = table->base) {
        for (const Entry<Handler>& entry : table->handlers) {
            if (entry.first <= id && id <= entry.last)
                return &entry.call;
        }
    }
    return nullptr;
}

const CCommandTable::UpdateHandler* CCommandTable::FindUpdateHandler(int id) const {
    for (const CCommandTable* table = this; table != nullptr; table = table->base) {
        for (const Entry<UpdateHandler>& entry : table->updateHandlers) {
            if (entry.first <= id && id <= entry.last)
                return &entry.call;
        }
    }
    return nullptr;
}
