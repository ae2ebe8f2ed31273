// A failure inside an event handler: reported once, and the program goes on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

#include "InvalidArgException.h"
#include "KivraApplication.h"
#include "QStringPrinting.h"
#include "ShellTestFixture.h"

namespace {

using kivra_test::Settle;
using kivra_test::ShellTest;

using ::testing::HasSubstr;

// --- Failures inside event handlers

// Fails as told on every user event.
class CFailingWidget : public QWidget {
public:
    std::function<void()> fail;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QWidget::event(event);
        fail();
        return true;
    }
};

TEST_F(ShellTest, AFailingEventHandlerIsReportedAndTheProgramGoesOn) {
    ASSERT_NE(dynamic_cast<CKivraApplication*>(QCoreApplication::instance()), nullptr);
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"memory running out", [] { throw std::bad_alloc(); },
         "Не хватает памяти для выполнения операции."},
        {"a broken precondition of the buffer",
         [] { throw CInvalidArgException("line 7 does not exist"); }, "line 7 does not exist"},
    };
    ASSERT_TRUE(Start());
    Type("R1");
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        host.messages.clear();
        CFailingWidget widget;
        widget.fail = each.fail;
        QEvent event(QEvent::User);
        EXPECT_FALSE(QApplication::sendEvent(&widget, &event));
        Settle();
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr(each.message));
        EXPECT_EQ(host.messages[0].icon, QMessageBox::Critical);
    }
    // The unsaved document is still there, and still takes typing.
    Type(" 1");
    ASSERT_EQ(application->Documents().size(), 1u);
    EXPECT_TRUE(application->Documents()[0]->IsModified());
    EXPECT_EQ(std::string(ActiveView().LineText(0), ActiveView().LineLength(0)), "R1 1");
}

TEST_F(ShellTest, FailuresWhileAReportWaitsOrIsShownMakeNoFurtherBoxes) {
    CFailingWidget widget;
    widget.fail = [] { throw std::bad_alloc(); };
    QEvent event(QEvent::User);
    for (int storm = 0; storm < 50; ++storm)
        QApplication::sendEvent(&widget, &event);
    // The message box's own loop delivers yet another failing event.
    host.Then([&](QDialog&) {
        QApplication::sendEvent(&widget, &event);
        return int(QMessageBox::Ok);
    });
    Settle();
    EXPECT_EQ(host.messages.size(), 1u);

    // Once the box has gone, the next failure is reported again.
    QApplication::sendEvent(&widget, &event);
    Settle();
    EXPECT_EQ(host.messages.size(), 2u);
}

}  // namespace
