#pragma once
// A context menu runs a loop of its own while it is open (QMenu::exec): one
// asked for while an operation with the relay waits opens once the
// operation has returned (wait/idle.h), like every dialog.
class QObject;

namespace deferredmenus {

// Watches the whole program's context menu requests for the lifetime of owner.
void install(QObject* owner);

} // namespace deferredmenus
