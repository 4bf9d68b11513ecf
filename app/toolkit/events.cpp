#include "app/toolkit/events.h"

#include "app/toolkit/application.h"

#include <stdexcept>

void Dispatch(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(std::runtime_error("An unknown error occurred."));
    }
}
