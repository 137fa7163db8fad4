#include "src/platform/messagebox.h"

#include "src/platform/internal/testreset.h"

#include <QMessageBox>
#include <QMutex>
#include <QMutexLocker>
#include <deque>

namespace
{

struct Hook {
    QMutex mutex;
    std::deque<int> answers;
    std::vector<platform::MessageBoxQuestion> questions;
};

Hook& hook()
{
    // Never destroyed: windows and objects of static lifetime may use it during exit.
    static Hook* h = new Hook;
    return *h;
}

// The answers of the box's buttons, in the order the desktop lays them out.
std::vector<int> buttonsOf(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    default:
        return {IDOK};
    }
}

int defaultAnswer(UINT flags)
{
    const std::vector<int> buttons = buttonsOf(flags);
    const size_t index = (flags & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

// What closing the box without a button means.
int escapeAnswer(UINT flags)
{
    const std::vector<int> buttons = buttonsOf(flags);
    for (int b : buttons) {
        if (b == IDCANCEL)
            return IDCANCEL;
    }
    return buttons.size() == 1 ? IDOK : IDNO;
}

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int answerOf(int standard)
{
    switch (standard) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return -1;
    }
}

QMessageBox::Icon iconOf(UINT flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MessageBox(QWidget* parent, const QString& text, const QString& caption, UINT flags)
{
    if (platform::messageBoxHookActive()) {
        Hook& h = hook();
        QMutexLocker lock(&h.mutex);
        h.questions.push_back({text, caption, flags});
        if (h.answers.empty())
            return defaultAnswer(flags);
        const int answer = h.answers.front();
        h.answers.pop_front();
        return answer;
    }

    QMessageBox box(iconOf(flags), caption, text, QMessageBox::NoButton, parent);
    for (int answer : buttonsOf(flags))
        box.addButton(standardButton(answer));
    box.setDefaultButton(standardButton(defaultAnswer(flags)));
    box.setEscapeButton(box.button(standardButton(escapeAnswer(flags))));
    box.setWindowModality(parent && !(flags & MB_SYSTEMMODAL) ? Qt::WindowModal
                                                              : Qt::ApplicationModal);
    if (flags & MB_SYSTEMMODAL)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const int answer = answerOf(box.exec());
    return answer > 0 ? answer : escapeAnswer(flags);
}

namespace platform
{

void queueMessageBoxAnswer(int answer)
{
    Hook& h = hook();
    QMutexLocker lock(&h.mutex);
    h.answers.push_back(answer);
}

const std::vector<MessageBoxQuestion>& messageBoxQuestions()
{
    return hook().questions;
}

void resetMessageBoxHook()
{
    Hook& h = hook();
    QMutexLocker lock(&h.mutex);
    h.answers.clear();
    h.questions.clear();
}

bool messageBoxHookActive()
{
    return !qEnvironmentVariableIsEmpty("READHALL_TESTING");
}

namespace
{
const detail::PerTestReset registerReset(&resetMessageBoxHook);
}

} // namespace platform
