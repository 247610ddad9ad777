#pragma once

#include "base/Errors.h"

#include <QString>
#include <exception>
#include <utility>

namespace q7 {

// The application's error box: a critical message titled with the
// application title, the text being errorBoxText(message).
void showErrorBox(const QString& message);

// Every event handler that can fail is entered through this, so that a
// failure ends only the operation, never the program: the error box shows
// it, and a cancelled operation ends silently. True when the handler ran to
// its end.
template <class F> bool guarded(F&& handler)
{
    try {
        std::forward<F>(handler)();
        return true;
    } catch (const EOperationCancelled&) {
        return false;
    } catch (const Q7Error& error) {
        showErrorBox(error.message());
    } catch (const std::exception& error) {
        showErrorBox(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace q7
