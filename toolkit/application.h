#pragma once
// The application object: makes the Qt application, creates the long-lived windows into
// their instance variables, runs the event loop and reports errors to the operator.
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QObject>
#include <exception>
#include <memory>
#include <new>
#include <vector>

class QApplication;
class TForm;
class TRunGuard;
class TSessionEnd;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public QObject {
public:
    TApplication();
    ~TApplication() override;

    // Makes the Qt application, unless there is one, and takes the desktop's requests to end
    // or save the session.
    void Initialize();
    // Takes the settings file for this run; false when another run has it, which has been asked
    // to bring its main window to the front: this run is then to end.
    bool TakeSettingsFile(const UnicodeString& path);
    void Run();
    void Terminate();
    void ShowException(const std::exception& E);

    // Fills `variable` before the form's construction runs, so that the form's own create
    // event can already reach the form through it. The first form made is the main form.
    template <class Form> void CreateForm(Form*& variable);

    TForm* MainForm() const { return m_mainForm; }

    // When set, errors go here instead of a message box (tests use it to see them).
    TExceptionEvent OnException;
    // The caption of the message box that shows an error.
    UnicodeString Title;

private:
    void MakeQtApplication();
    void Adopt(TForm* form, void (*destroy)(TForm*));
    void DestroyForms();
    void CloseAll();
    void SaveSession();

    std::unique_ptr<QApplication> m_qtApplication;
    std::unique_ptr<TSessionEnd> m_sessionEnd;
    std::unique_ptr<TRunGuard> m_runGuard;
    std::vector<std::pair<TForm*, void (*)(TForm*)>> m_forms;
    TForm* m_mainForm = nullptr;
    bool m_reporting = false;
};

extern TApplication* Application;

template <class Form> void TApplication::CreateForm(Form*& variable) {
    void* storage = ::operator new(sizeof(Form));
    variable = static_cast<Form*>(storage);
    try {
        new (storage) Form(this);
    } catch (...) {
        variable = nullptr;
        ::operator delete(storage);
        throw;
    }
    Adopt(variable, [](TForm* form) { delete static_cast<Form*>(form); });
    variable->DoCreate();
}
