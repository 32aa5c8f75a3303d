// The desktop program's real windows, offscreen: layout after the templates, texts from
// the string table, the key and close filters, the worker's calls reaching the
// user-interface thread, and a transfer whose driver library is missing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "res/dialog_templates.h"
#include "tests/ui/qt/scripted_dialogs.h"
#include "ui/help_launcher.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_ui_thread.h"
#include "ui/qt/transfer_window.h"
#include "ui/ui_text.h"

namespace velloran::testing {
namespace {

class NoHelp final : public HelpViewer {
  public:
    bool DisplayContents(const std::string&) override { return true; }
};

void PressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&target, &press);
}

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        window.Initialise();
        window.show();
    }

    template <typename T>
    T* Control(int32_t id) {
        return qobject_cast<T*>(window.Control(id));
    }

    ScriptedDialogs dialogs;
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string(); }};
    MainWindow window{dialogs, help};
};

TEST_F(MainWindowTest, ControlsSitWhereTheTemplatePutsThemForTheFont) {
    const DialogBaseUnits base = BaseUnitsOf(window.font());
    EXPECT_EQ(window.size(), DialogSize(kMainTemplate, base));
    for (const ControlTemplate& entry : kMainTemplate.controls) {
        if (entry.id == IDC_NONE) {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const QRect expected = ControlRect(entry, base);
        const QRect actual = window.Control(entry.id)->geometry();
        EXPECT_EQ(actual.topLeft(), expected.topLeft());
        EXPECT_EQ(actual.width(), expected.width());
        if (entry.kind != ControlKind::DropDownList) {
            EXPECT_EQ(actual.height(), expected.height());
        }
    }
    EXPECT_EQ(window.findChildren<QGroupBox*>().size(), 3);
}

TEST_F(MainWindowTest, TabOrderFollowsTheTemplate) {
    std::vector<QString> order;
    QWidget* widget = window.Control(IDC_MODEL);
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            order.push_back(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != window.Control(IDC_MODEL));
    EXPECT_EQ(order, (std::vector<QString>{"IDC_MODEL", "IDC_RECEIVE", "IDC_SEND",
                                           "IDC_HELP_BUTTON", "IDC_EXIT"}));
}

TEST_F(MainWindowTest, EveryTextComesFromTheStringTable) {
    EXPECT_EQ(window.windowTitle(), "VELLORAN");
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(Control<QLabel>(IDC_MODEL_LABEL)->text(), QString::fromStdString(UiText(103)));
    EXPECT_EQ(Control<QLabel>(IDC_RECEIVE_TEXT)->text(), QString::fromStdString(UiText(104)));
    EXPECT_EQ(Control<QLabel>(IDC_SEND_TEXT)->text(), QString::fromStdString(UiText(105)));
    EXPECT_EQ(Control<QPushButton>(IDC_RECEIVE)->text(), "受信(&R)");
    EXPECT_EQ(Control<QPushButton>(IDC_SEND)->text(), "送信(&S)");
    EXPECT_EQ(Control<QPushButton>(IDC_EXIT)->text(), "終了(&X)");
    EXPECT_EQ(Control<QPushButton>(IDC_HELP_BUTTON)->text(), "ヘルプ(&H)");
    EXPECT_EQ(Control<QLabel>(IDC_VERSION)->text(), "VELLORAN Ver1.20");
    EXPECT_EQ(Control<QLabel>(IDC_MODEL_LABEL)->buddy(), window.Control(IDC_MODEL));

    const auto* models = Control<QComboBox>(IDC_MODEL);
    ASSERT_EQ(models->count(), 3);
    EXPECT_EQ(models->itemText(0), "LM-Q30");
    EXPECT_EQ(models->itemText(1), "LM-Q20");
    EXPECT_EQ(models->itemText(2), "LM-Q10");
    EXPECT_EQ(models->currentIndex(), 0);
    EXPECT_TRUE(Control<QPushButton>(IDC_EXIT)->isDefault());
}

TEST_F(MainWindowTest, HasACloseBoxButNoMinimiseOrMaximise) {
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, EscapeAndF1DoNothing) {
    Control<QComboBox>(IDC_MODEL)->setFocus();
    PressKey(*window.Control(IDC_MODEL), Qt::Key_Escape);
    PressKey(window, Qt::Key_Escape);
    PressKey(window, Qt::Key_F1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, EnterActivatesExitWhenNoOtherButtonHasTheFocus) {
    PressKey(window, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, MissingDriverLibraryShowsOneFailureForTheDirectionAndKeepsTheModel) {
    Control<QComboBox>(IDC_MODEL)->setCurrentIndex(2);
    dialogs.files = {QStringLiteral("/nonexistent/lmq10.vid"),
                     QStringLiteral("/nonexistent/lmq10.vid")};
    Control<QPushButton>(IDC_RECEIVE)->click();
    Control<QPushButton>(IDC_SEND)->click();

    ASSERT_EQ(dialogs.boxes.size(), 4u);  // confirmation, failure, confirmation, failure
    EXPECT_EQ(dialogs.boxes[0].text, "プリンター側の準備はよろしいですか？");
    EXPECT_EQ(dialogs.boxes[1].text, QString::fromStdString(UiText(IDS_RECEIVE_FAILED)));
    EXPECT_EQ(dialogs.boxes[1].caption, "VELLORAN");
    EXPECT_EQ(dialogs.boxes[1].style, kFailureBoxStyle);
    EXPECT_FALSE(dialogs.boxes[1].transferWindowVisible);
    EXPECT_EQ(dialogs.boxes[3].text, QString::fromStdString(UiText(IDS_SEND_FAILED)));
    EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
    EXPECT_EQ(Control<QComboBox>(IDC_MODEL)->currentIndex(), 2);
    EXPECT_EQ(window.Logic().selection, 2);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].initialName.substr(0, 6), "lmq10_");
}

class TransferWindowTest : public ::testing::Test {
  protected:
    ScriptedDialogs dialogs;
    CTransferDlg transfer;
    TransferWindow window{transfer, dialogs, nullptr};
};

TEST_F(TransferWindowTest, IsLaidOutAfterItsTemplateWithoutCloseBoxOrSystemMenu) {
    const DialogBaseUnits base = BaseUnitsOf(window.font());
    EXPECT_EQ(window.size(), DialogSize(kTransferTemplate, base));
    EXPECT_EQ(window.findChild<QLabel*>("IDC_STATUS")->geometry(),
              ControlRect(kTransferControls[0], base));
    EXPECT_EQ(window.findChild<QProgressBar*>("IDC_PROGRESS")->geometry(),
              ControlRect(kTransferControls[1], base));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
}

TEST_F(TransferWindowTest, EnterEscapeAltF4AndCloseRequestsLeaveItOpenUntilItEndsItself) {
    window.show();
    PressKey(window, Qt::Key_Return);
    PressKey(window, Qt::Key_Enter);
    PressKey(window, Qt::Key_Escape);
    PressKey(window, Qt::Key_F1);
    PressKey(window, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(window.close());
    window.reject();
    EXPECT_TRUE(window.isVisible());

    window.EndModal();
    EXPECT_FALSE(window.isVisible());
}

TEST(QtUiThreadTest, WorkerCallsRunOnTheUserInterfaceThreadAndReturnAfterwards) {
    QtUiThread thread;
    QEventLoop loop;
    std::atomic<int> onUiThread{0};
    int ran = 0;
    constexpr int kCalls = 50;
    std::thread worker([&] {
        for (int i = 0; i < kCalls; ++i) {
            thread.Send([&] {
                onUiThread += QThread::currentThread() == thread.thread() ? 1 : 0;
                ++ran;
            });
            EXPECT_EQ(ran, i + 1);  // the call has run before Send returned
        }
        thread.Send([&loop] { loop.quit(); });
    });
    loop.exec();
    worker.join();
    EXPECT_EQ(onUiThread, kCalls);
    // On the user-interface thread itself the call runs at once.
    bool direct = false;
    thread.Send([&] { direct = true; });
    EXPECT_TRUE(direct);
}

}  // namespace
}  // namespace velloran::testing
