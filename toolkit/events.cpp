#include "toolkit/events.h"

#include <cstdio>
#include <stdexcept>

namespace {

TExceptionHandler s_exceptionHandler;

void Report(const std::exception& e) {
    if (s_exceptionHandler)
        s_exceptionHandler(e);
    else
        std::fprintf(stderr, "chimewell: %s\n", e.what());
}

} // namespace

void SetExceptionHandler(TExceptionHandler handler) {
    s_exceptionHandler = std::move(handler);
}

void Dispatch(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
        Report(std::runtime_error("An unknown error occurred."));
    }
}
