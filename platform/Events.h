#pragma once
// Processing of pending window events. Long work calls DoEvents() between
// steps so the window stays responsive; the window installs the toolkit's
// event pump with SetPendingEventsHandler. Without one, DoEvents does nothing.

#include <functional>

namespace platform {

void SetPendingEventsHandler(std::function<void()> handler);
void DoEvents();

} // namespace platform
