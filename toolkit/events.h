#pragma once
// Event types shared by every window, and the one dispatch point through which every
// handler runs: an exception from a handler is shown to the operator and never reaches Qt.
#include <QObject>
#include <exception>
#include <functional>

using TObject = QObject;
using TComponent = QObject;

enum class TShiftState { None };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, bool& Handled)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// Where Dispatch hands what a handler threw: the application registers its ShowException
// here. Until one is registered, the error goes to standard error.
using TExceptionHandler = std::function<void(const std::exception& E)>;
void SetExceptionHandler(TExceptionHandler handler);

// Runs an action; whatever it throws goes to the registered exception handler.
void Dispatch(const std::function<void()>& action);

// Binds a window's member handler to an event: `OnClick = Handler(this, &TForm1::XClick)`.
template <class Form, class... Args>
std::function<void(Args...)> Handler(Form* form, void (Form::*method)(Args...)) {
    return [form, method](Args... args) { (form->*method)(std::forward<Args>(args)...); };
}

template <class Event, class... Args> void Fire(const Event& event, Args&&... args) {
    if (event)
        Dispatch([&] { event(std::forward<Args>(args)...); });
}
