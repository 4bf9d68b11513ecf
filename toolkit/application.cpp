#include "toolkit/application.h"

#include "settings/ini_file.h"
#include "toolkit/form.h"
#include "toolkit/run_guard.h"
#include "toolkit/session_end.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

TApplication* Application = nullptr;

namespace {

// Stay-on-top needs X11: on a Wayland session with an X server at hand, run through X11,
// unless the operator chose a platform.
void PreferX11() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The program always ends with status 0, also when Qt gives up (no display, for example).
void ReportMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
    if (type == QtFatalMsg)
        std::_Exit(0);
}

} // namespace

TApplication::TApplication() {
    Application = this;
    // A handler's error and a failed save of the settings reach the operator alike.
    const auto show = [this](const std::exception& E) { ShowException(E); };
    SetExceptionHandler(show);
    TIniFile::OnSaveFailure = show;
}

TApplication::~TApplication() {
    DestroyForms();
    m_runGuard.reset();
    m_sessionEnd.reset();
    m_qtApplication.reset();
    if (Application != this)
        return;
    SetExceptionHandler(nullptr);
    TIniFile::OnSaveFailure = nullptr;
    Application = nullptr;
}

void TApplication::Initialize() {
    if (!QCoreApplication::instance())
        MakeQtApplication();
    // Each window closes the ordinary way, running its close event: that is where it saves.
    m_sessionEnd = std::make_unique<TSessionEnd>([this] { CloseAll(); });
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, [this] { SaveSession(); });
}

bool TApplication::TakeSettingsFile(const UnicodeString& path) {
    m_runGuard = std::make_unique<TRunGuard>(path, [this] {
        if (m_mainForm)
            m_mainForm->SetVisible(true);
    });
    return m_runGuard->TakeFile();
}

void TApplication::MakeQtApplication() {
    PreferX11();
    qInstallMessageHandler(ReportMessage);
    // Asking the window manager about a new window's frame gives that window a native handle;
    // its siblings must stay plain widgets, or labels over buttons would start taking clicks.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    // The program takes nothing from its command line.
    static int argc = 1;
    static char name[] = "chimewell";
    static char* argv[] = {name, nullptr};
    m_qtApplication = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

void TApplication::Adopt(TForm* form, void (*destroy)(TForm*)) {
    m_forms.emplace_back(form, destroy);
    if (m_mainForm)
        return;
    m_mainForm = form;
    form->MakeMainForm([this] { Terminate(); });
}

void TApplication::Run() {
    if (m_mainForm)
        m_mainForm->SetVisible(true);
    QApplication::exec();
    DestroyForms();
}

// The forms go in the reverse order of their making, after the event loop has ended.
void TApplication::DestroyForms() {
    for (auto it = m_forms.rbegin(); it != m_forms.rend(); ++it)
        it->second(it->first);
    m_forms.clear();
    m_mainForm = nullptr;
}

void TApplication::Terminate() {
    QCoreApplication::quit();
}

// Modal windows first, the innermost first, then the main form, whose close ends the loop.
void TApplication::CloseAll() {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    if (m_mainForm)
        m_mainForm->Close();
}

// A session manager asking for the operator's work to be kept gets what closing the main form
// keeps; the form stays open, for the session may go on.
void TApplication::SaveSession() {
    if (!m_mainForm)
        return;
    TCloseAction action = TCloseAction::caFree;
    Fire(m_mainForm->OnClose, m_mainForm, action);
}

void TApplication::ShowException(const std::exception& E) {
    if (OnException) {
        OnException(this, E);
        return;
    }
    std::fprintf(stderr, "chimewell: %s\n", E.what());
    if (m_reporting || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    m_reporting = true;
    // Modal only to the innermost open window (the one the operator can be using), or else to
    // the main window, so that the alert can still be clicked away; plain text, for it may name
    // a file.
    QWidget* opener = QApplication::activeModalWidget();
    QMessageBox box(QMessageBox::Critical, Title, QString::fromUtf8(E.what()), QMessageBox::Ok,
                    opener ? opener : m_mainForm);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
    m_reporting = false;
}
