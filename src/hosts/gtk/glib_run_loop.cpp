// GLib sources for the panel's timers, descriptor watches and posted tasks.
#include "hosts/gtk/glib_run_loop.h"

#include <glib-unix.h>
#include <poll.h>

#include <algorithm>

namespace jc::gtk {

namespace {

GIOCondition toCondition(short events) {
  int condition = G_IO_ERR | G_IO_HUP | G_IO_NVAL;
  if (events & POLLIN) condition |= G_IO_IN;
  if (events & POLLOUT) condition |= G_IO_OUT;
  return GIOCondition(condition);
}

short toEvents(GIOCondition condition) {
  short events = 0;
  if (condition & G_IO_IN) events |= POLLIN;
  if (condition & G_IO_OUT) events |= POLLOUT;
  if (condition & G_IO_ERR) events |= POLLERR;
  if (condition & G_IO_HUP) events |= POLLHUP;
  if (condition & G_IO_NVAL) events |= POLLNVAL;
  return events;
}

}  // namespace

GlibRunLoop::~GlibRunLoop() {
  for (auto& [id, timer] : timers_) g_source_remove(timer.source);
  for (auto& [id, watch] : watches_) g_source_remove(watch.source);
}

RunLoop::Id GlibRunLoop::addTimer(Clock::duration delay, std::function<void()> fire) {
  Id id = nextId_++;
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, Clock::duration::zero()));
  guint source = g_timeout_add_full(
      G_PRIORITY_DEFAULT, guint(ms.count()),
      [](gpointer data) -> gboolean {
        auto* cb = static_cast<Callback*>(data);
        auto it = cb->loop->timers_.find(cb->id);
        if (it == cb->loop->timers_.end()) return G_SOURCE_REMOVE;
        // Forget the timer before it runs: firing may add or cancel timers.
        std::function<void()> fire = std::move(it->second.fire);
        cb->loop->timers_.erase(it);
        fire();
        return G_SOURCE_REMOVE;
      },
      new Callback{this, id}, [](gpointer data) { delete static_cast<Callback*>(data); });
  timers_[id] = {source, std::move(fire)};
  return id;
}

void GlibRunLoop::cancelTimer(Id id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  g_source_remove(it->second.source);
  timers_.erase(it);
}

guint GlibRunLoop::addWatchSource(Id id, int fd, short events) {
  return g_unix_fd_add_full(
      G_PRIORITY_DEFAULT, fd, toCondition(events),
      [](int, GIOCondition condition, gpointer data) -> gboolean {
        auto* cb = static_cast<Callback*>(data);
        auto it = cb->loop->watches_.find(cb->id);
        if (it == cb->loop->watches_.end()) return G_SOURCE_REMOVE;
        // A copy: the watch may be changed or removed by its own callback. Its source then
        // is already gone, and what is answered here no longer matters.
        std::function<void(short)> ready = it->second.ready;
        ready(toEvents(condition));
        return G_SOURCE_CONTINUE;
      },
      new Callback{this, id}, [](gpointer data) { delete static_cast<Callback*>(data); });
}

RunLoop::Id GlibRunLoop::watchFd(int fd, short events, std::function<void(short)> ready) {
  Id id = nextId_++;
  watches_[id] = {fd, events, std::move(ready), 0};
  watches_[id].source = addWatchSource(id, fd, events);
  return id;
}

void GlibRunLoop::updateWatch(Id id, short events) {
  auto it = watches_.find(id);
  if (it == watches_.end() || it->second.events == events) return;
  g_source_remove(it->second.source);
  it->second.events = events;
  it->second.source = addWatchSource(id, it->second.fd, events);
}

void GlibRunLoop::removeWatch(Id id) {
  auto it = watches_.find(id);
  if (it == watches_.end()) return;
  g_source_remove(it->second.source);
  watches_.erase(it);
}

void GlibRunLoop::post(std::function<void()> task) {
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        (*static_cast<std::function<void()>*>(data))();
        return G_SOURCE_REMOVE;
      },
      new std::function<void()>(std::move(task)),
      [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

bool GlibRunLoop::runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  GMainContext* context = g_main_context_default();
  while (!done()) {
    auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) break;
    // A wake-up at the deadline, so a quiet loop does not block past it.
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left);
    GSource* wake = g_timeout_source_new(guint(ms.count()));
    g_source_set_callback(
        wake, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
    g_source_attach(wake, context);
    g_main_context_iteration(context, TRUE);
    g_source_destroy(wake);  // harmless when it has fired already
    g_source_unref(wake);
  }
  return done();
}

}  // namespace jc::gtk
