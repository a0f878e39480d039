// The panel's run loop served by GLib's main context, so that while the panel waits for the
// printer's folder list the print dialog keeps painting and taking the person's input.
#pragma once

#include <glib.h>

#include <functional>
#include <map>

#include "platform/io/runloop.h"

namespace jc::gtk {

/// A run loop over the thread-default GLib main context. Timers, watches and tasks become
/// GLib sources; `runUntil` iterates the context, so every other source (GTK's drawing and
/// input, the application's own timers) is served as well. GTK's thread only.
class GlibRunLoop final : public RunLoop {
 public:
  GlibRunLoop() = default;
  ~GlibRunLoop() override;
  GlibRunLoop(const GlibRunLoop&) = delete;
  GlibRunLoop& operator=(const GlibRunLoop&) = delete;

  Id addTimer(Clock::duration delay, std::function<void()> fire) override;
  void cancelTimer(Id id) override;
  Id watchFd(int fd, short events, std::function<void(short revents)> ready) override;
  void updateWatch(Id id, short events) override;
  void removeWatch(Id id) override;
  void post(std::function<void()> task) override;
  bool runUntil(const std::function<bool()>& done, Clock::time_point deadline) override;

 private:
  struct Timer {
    guint source;
    std::function<void()> fire;
  };
  struct Watch {
    int fd;
    short events;
    std::function<void(short)> ready;
    guint source;
  };
  struct Callback {
    GlibRunLoop* loop;
    Id id;
  };
  guint addWatchSource(Id id, int fd, short events);

  Id nextId_ = 1;
  std::map<Id, Timer> timers_;
  std::map<Id, Watch> watches_;
};

}  // namespace jc::gtk
