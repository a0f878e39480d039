// What the panel asks of the host's run loop, and how it stays alive while the host may
// re-enter it: during an action, the folder exchange and the alert.
#include "plugin/panel.h"

jc::RunLoop& VoreliaPrintPdeTz630eJC::hostRunLoop() const {
  jc::RunLoop* loop = pdePluginCallbackObject ? pdePluginCallbackObject->runLoop() : nullptr;
  return loop ? *loop : jc::RunLoop::current();
}

VoreliaPrintPdeTz630eJC::BusyScope::BusyScope(VoreliaPrintPdeTz630eJC& panel)
    : panel_(panel), keep_(panel.weak_from_this().lock()) {
  ++panel_.busyDepth_;
}

VoreliaPrintPdeTz630eJC::BusyScope::~BusyScope() {
  --panel_.busyDepth_;
  // Only the outermost scope can hold the last reference (an inner one shares it with the
  // scopes around it). When the host has let go meanwhile, the panel must not end here:
  // the control whose action got us here, and its callers, are still on the stack. The
  // release is finished by the run loop, when it next serves events.
  if (!keep_ || keep_.use_count() > 1) return;
  jc::RunLoop& loop = panel_.hostRunLoop();
  loop.post([last = std::move(keep_)]() mutable { last.reset(); });
}

bool VoreliaPrintPdeTz630eJC::releasedByHost() const {
  // While busy, every scope holds one reference and so does `self`; any more are the host's.
  std::shared_ptr<const VoreliaPrintPdeTz630eJC> self = weak_from_this().lock();
  return self && busyDepth_ > 0 && self.use_count() <= busyDepth_ + 1;
}
