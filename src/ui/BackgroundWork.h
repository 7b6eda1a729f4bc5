#pragma once

#include "base/ProgressSink.h"
#include "base/Status.h"

#include <functional>

class Platform;
class QWidget;

// Runs `work` on a thread of its own while the platform's progress window shows how far it has
// come, so that the window stays drawn and its Cancel answers during a long read. The work sees
// a sink whose CancelRequested turns true once Cancel is pressed; it must touch nothing the
// interface thread uses (it works on copies). Returns once the work has returned and the window
// is closed: false when the user cancelled, even if the work had finished by then (the caller
// then keeps what it had), else true with the work's own outcome in `outcome`.
bool RunInBackground(Platform& platform, QWidget* owner,
                     const std::function<Status(ProgressSink&)>& work, Status& outcome);
