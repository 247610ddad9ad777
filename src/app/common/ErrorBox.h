// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Errors.h"

#include <QString>
#include <exception>
#include <utility>

namespace q7 {

class LanguageFile;

// The application's error box: a critical message titled with the
// application title, the text being errorBoxText(message).
void showErrorBox(const QString& message);
// The same for a failure: what happened and what to do first where the
// failure has such a text, then its exact technical message below it.
void showErrorBox(const Q7Error& failure);
// The language the failure texts are taken in; none: the defaults. The
// window sets its own for its lifetime.
void setErrorBoxTexts(const LanguageFile* texts);

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
        showErrorBox(error);
    } catch (const std::exception& error) {
        showErrorBox(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace q7
