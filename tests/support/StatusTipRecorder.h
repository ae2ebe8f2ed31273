#pragma once

// The prompts a widget sends towards the status bar of its window.

#include <QEvent>
#include <QObject>
#include <QStatusTipEvent>
#include <QString>
#include <QWidget>

#include <vector>

namespace kivra_test {

class StatusTipRecorder : public QObject {
public:
    explicit StatusTipRecorder(QWidget& widget) { widget.installEventFilter(this); }

    std::vector<QString> prompts;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::StatusTip)
            prompts.push_back(static_cast<QStatusTipEvent*>(event)->tip());
        return false;
    }
};

}  // namespace kivra_test
