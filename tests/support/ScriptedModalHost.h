#pragma once

// Answers the program's dialogs, message boxes and popup menus from a script, and records what
// would have been shown or opened, so that tests never wait in a modal loop.

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "ModalHost.h"

namespace kivra_test {

struct ShownMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon;
};

class ScriptedModalHost : public CModalHost {
public:
    using DialogAnswer = std::function<int(QDialog&)>;

    ScriptedModalHost() { SetModalHost(this); }
    ~ScriptedModalHost() override { SetModalHost(nullptr); }

    // The next dialog gets this answer; without one queued, dialogs are cancelled and message
    // boxes answered with their escape button.
    void Then(DialogAnswer answer) { answers.push_back(std::move(answer)); }
    // The next message box is answered with this button.
    void ThenPress(QMessageBox::StandardButton button) {
        Then([button](QDialog&) { return static_cast<int>(button); });
    }
    // The next message box is answered as Enter answers it: with its default button.
    void ThenPressDefault() {
        Then([](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            QPushButton* button = box != nullptr ? box->defaultButton() : nullptr;
            return button != nullptr ? static_cast<int>(box->standardButton(button))
                                     : static_cast<int>(QMessageBox::NoButton);
        });
    }
    // The next file dialog chooses this file.
    void ThenChooseFile(const QString& path) {
        Then([path](QDialog& dialog) {
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            if (files == nullptr)
                return static_cast<int>(QDialog::Rejected);
            files->selectFile(path);
            return static_cast<int>(QDialog::Accepted);
        });
    }
    // The next dialog is prepared, then accepted as its OK button would accept it: dialogs that
    // take their result on accepting (QFontDialog::selectedFont) have it.
    void ThenAccept(std::function<void(QDialog&)> prepare = {}) {
        Then([prepare = std::move(prepare)](QDialog& dialog) {
            if (prepare)
                prepare(dialog);
            dialog.accept();
            return static_cast<int>(QDialog::Accepted);
        });
    }
    void ThenCancel() {
        Then([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    }

    int RunModal(QDialog& dialog) override {
        ++dialogsShown;
        lastDialogTitle = dialog.windowTitle();
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (box != nullptr)
            messages.push_back({box->text(), box->windowTitle(), box->icon()});
        if (!answers.empty()) {
            DialogAnswer answer = std::move(answers.front());
            answers.pop_front();
            return answer(dialog);
        }
        if (box != nullptr) {
            QAbstractButton* escape = box->escapeButton();
            return escape != nullptr ? static_cast<int>(box->standardButton(escape))
                                     : static_cast<int>(QMessageBox::Ok);
        }
        return QDialog::Rejected;
    }

    QAction* RunMenu(QMenu& menu, const QPoint&) override {
        ++menusShown;
        lastMenuTexts.clear();
        for (QAction* action : menu.actions())
            lastMenuTexts.push_back({action->text(), action->isEnabled()});
        return pickMenuItem ? pickMenuItem(menu) : nullptr;
    }

    bool OpenWithDesktop(const QUrl& url) override {
        opened.push_back(url);
        return opens ? opens(url) : openSucceeds;
    }

    std::vector<ShownMessage> messages;
    // Every address handed to the desktop, whether it opened or not.
    std::vector<QUrl> opened;
    // Whether the desktop opens an address: openSucceeds for all, unless a test decides address
    // by address (a viewer for some types only) or hands them to the real desktop.
    bool openSucceeds = true;
    std::function<bool(const QUrl&)> opens;
    int dialogsShown = 0;
    QString lastDialogTitle;
    int menusShown = 0;
    std::vector<std::pair<QString, bool>> lastMenuTexts;
    std::function<QAction*(QMenu&)> pickMenuItem;

private:
    std::deque<DialogAnswer> answers;
};

}  // namespace kivra_test
