// Message boxes: the answers of the test hook and the real box's buttons and icon.

#include "src/platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using platform::messageBoxQuestions;
using platform::queueMessageBoxAnswer;

TEST(MessageBoxHook, QueuedAnswersComeBackInOrderElseTheDefaultButtonAndQuestionsAreRecorded)
{
    ASSERT_TRUE(platform::messageBoxHookActive());
    queueMessageBoxAnswer(IDNO);
    queueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Unsubscribe?", "Readhall", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Delete?", "Readhall", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(messageBoxQuestions().size(), 2u);
    const auto& first = messageBoxQuestions()[0];
    EXPECT_EQ(
        std::tuple(first.text, first.caption, first.flags),
        std::tuple(QString("Unsubscribe?"), QString("Readhall"), UINT(MB_YESNO | MB_ICONQUESTION)));
    EXPECT_EQ(messageBoxQuestions()[1].text, "Delete?");

    platform::resetMessageBoxHook();
    EXPECT_TRUE(messageBoxQuestions().empty());
    // Without a queued answer the default button answers.
    EXPECT_EQ(MessageBox(nullptr, "a", "c", MB_OK), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "a", "c", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBox(nullptr, "a", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "a", "c", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(messageBoxQuestions().size(), 4u);
}

namespace
{

// Shows real boxes for the length of one test.
class RealMessageBox : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = qgetenv("READHALL_TESTING");
        qunsetenv("READHALL_TESTING");
    }
    void TearDown() override { qputenv("READHALL_TESTING", m_saved); }

    // When the box shows, remembers what it offers and presses the given button.
    void pressWhenShown(QMessageBox::StandardButton button)
    {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shownText = box->text();
            shownCaption = box->windowTitle();
            shownIcon = box->icon();
            shownButtons = box->standardButtons();
            box->button(button)->click();
        });
    }

    QString shownText;
    QString shownCaption;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons shownButtons;

private:
    QByteArray m_saved;
};

} // namespace

TEST_F(RealMessageBox, ShowsTheDesktopsButtonsAndIconAndReturnsThePressedButton)
{
    pressWhenShown(QMessageBox::No);
    EXPECT_EQ(MessageBox(nullptr, "Shut the engine down?", "Readhall",
                         MB_YESNOCANCEL | MB_ICONEXCLAMATION),
              IDNO);
    EXPECT_EQ(shownText, "Shut the engine down?");
    EXPECT_EQ(shownCaption, "Readhall");
    EXPECT_EQ(shownIcon, QMessageBox::Warning);
    EXPECT_EQ(shownButtons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    pressWhenShown(QMessageBox::Ok);
    EXPECT_EQ(MessageBox(nullptr, "Error launching Vantrel.exe", "Readhall",
                         MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL),
              IDOK);
    EXPECT_EQ(shownIcon, QMessageBox::Critical);
    EXPECT_EQ(shownButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(messageBoxQuestions().empty()); // real boxes are not recorded
}
