#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "CmdTarget.h"

class CCmdUI;

// The command handlers of one class: command id (or id range) -> handler, and id (or range) ->
// update handler. Built once per class on the table of the base class, which is searched when
// this one has no entry; within a table the first entry that covers an id wins.
//
//     const CCommandTable& CMyView::ClassCommands() {
//         static const CCommandTable table =
//             CCommandTable::Builder<CMyView>(CView::ClassCommands())
//                 .On(ID_EDIT_COPY, &CMyView::OnEditCopy)
//                 .OnUpdate(ID_EDIT_COPY, &CMyView::OnUpdateEditCopy)
//                 .OnRange(ID_GO_NUMBERED_BOOKMARK_0, ID_GO_NUMBERED_BOOKMARK_9, &CMyView::OnGo)
//                 .Build();
//         return table;
//     }
class CCommandTable {
public:
    using Handler = std::function<void(CCmdTarget&, int id)>;
    using UpdateHandler = std::function<void(CCmdTarget&, CCmdUI&)>;

    template <class T>
    class Builder;

    explicit CCommandTable(const CCommandTable* base = nullptr) : base(base) {}

    const CCommandTable* Base() const { return base; }
    // The handler for the id from this table or the nearest base table; null when none has one.
    const Handler* FindHandler(int id) const;
    const UpdateHandler* FindUpdateHandler(int id) const;

private:
    template <class Call>
    struct Entry {
        int first;
        int last;
        Call call;
    };

    const CCommandTable* base;
    std::vector<Entry<Handler>> handlers;
    std::vector<Entry<UpdateHandler>> updateHandlers;
};

template <class T>
class CCommandTable::Builder {
    static_assert(std::is_base_of_v<CCmdTarget, T>, "handlers belong to a command target");

public:
    explicit Builder(const CCommandTable& base) : table(&base) {}

    Builder& On(int id, void (T::*handler)()) {
        table.handlers.push_back(
            {id, id, [handler](CCmdTarget& target, int) { (static_cast<T&>(target).*handler)(); }});
        return *this;
    }
    // One handler for the ids first ... last, told which one came.
    Builder& OnRange(int first, int last, void (T::*handler)(int id)) {
        table.handlers.push_back({first, last, [handler](CCmdTarget& target, int id) {
                                      (static_cast<T&>(target).*handler)(id);
                                  }});
        return *this;
    }
    Builder& OnUpdate(int id, void (T::*handler)(CCmdUI&)) {
        return OnUpdateRange(id, id, handler);
    }
    // ui.Id() tells the handler which command of the range is asked about.
    Builder& OnUpdateRange(int first, int last, void (T::*handler)(CCmdUI&)) {
        table.updateHandlers.push_back({first, last, [handler](CCmdTarget& target, CCmdUI& ui) {
                                            (static_cast<T&>(target).*handler)(ui);
                                        }});
        return *this;
    }

    CCommandTable Build() { return std::move(table); }

private:
    CCommandTable table;
};
