#pragma once
// Test hooks of platform/dialog.h (tests only).
#include <functional>

#include "platform/dialog.h"

namespace plat {

// Test hook: answers for the next dialogs, taken in order as each opens.
// button 0 means a close request; checks lists check boxes to tick first.
struct DialogAnswer {
    int button = 0;
    std::vector<int> checks;
};
void QueueDialogAnswer(const DialogAnswer& answer);
// The same, with whileUp run while the dialog is up, before the answer: the
// time a player takes.
void QueueDialogAnswer(const DialogAnswer& answer, std::function<void()> whileUp);
void ClearDialogAnswers();
// What the tests can see of the dialogs shown so far.
int DialogRunCount();
std::string LastDialogCaption();
// Texts of the last dialog's controls at the moment it ended, "\n"-joined.
std::string LastDialogTexts();

} // namespace plat
