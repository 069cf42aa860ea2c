#pragma once

// Every messenger whose status Tessaly sets on Linux: the Messenger stand-in (registry value and
// window commands, always) and Pidgin (when it runs), behind the status writer's own thread.

#include "publisher/StatusPublisher.h"

#include <memory>
#include <QDBusConnection>

namespace tessaly {

// The stand-in, then Pidgin, on the given connection; used on one thread only.
std::unique_ptr<StatusPublisher> CreateLinuxMessengers(QDBusConnection bus);

// The program's status writer: the messengers on a thread of their own, with a connection to
// the session bus of their own, made and closed on that thread. Refreshes never wait for it.
std::unique_ptr<StatusPublisher> CreateLinuxStatusWriter();

} // namespace tessaly
