// The run loop a host lends the panel: file-descriptor watches, timers, posted tasks, and
// "serve events until this is done or that time has come". The poll(2) loop is the default
// for hosts without a loop of their own (the command line, the tests).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>

namespace jc {

/// The host's event loop, as the panel uses it. Everything it delivers runs on the thread
/// that serves it, the host's user-interface thread; nothing here is called from another
/// thread. A toolkit host implements it over its own main loop (GLib's main context, for
/// example), so that while the panel waits the host keeps painting and handling its events.
class RunLoop {
 public:
  using Clock = std::chrono::steady_clock;
  using Id = std::uint64_t;

  /// The calling thread's poll loop (a `PollRunLoop`), made on first use and kept until the
  /// thread ends.
  static RunLoop& current();

  virtual ~RunLoop() = default;

  /// Schedules `fire` to run once, `delay` from now (a negative delay means now). Answers
  /// an id for `cancelTimer`; ids are never 0 and never reused by one loop.
  virtual Id addTimer(Clock::duration delay, std::function<void()> fire) = 0;
  /// Forgets a pending timer; an unknown or already fired id is ignored.
  virtual void cancelTimer(Id id) = 0;

  /// Watches `fd` for the poll events in `events` (POLLIN, POLLOUT); `ready` gets the
  /// events that occurred, including POLLERR/POLLHUP. Answers an id for the calls below.
  virtual Id watchFd(int fd, short events, std::function<void(short revents)> ready) = 0;
  /// Changes the events a watch waits for; an unknown id is ignored.
  virtual void updateWatch(Id id, short events) = 0;
  /// Ends a watch; safe inside any callback, including the watch's own.
  virtual void removeWatch(Id id) = 0;

  /// Runs `task` once, soon, when the loop next serves events (in posting order).
  virtual void post(std::function<void()> task) = 0;

  /// Serves events — the ones registered here and every other event of the host — until
  /// `done` answers true or `deadline` passes. `done` is asked first and again after every
  /// event served. Answers its last answer. Callbacks may call `runUntil` again (nested).
  virtual bool runUntil(const std::function<bool()>& done, Clock::time_point deadline) = 0;

  /// Serves events for `duration`.
  void runFor(Clock::duration duration) {
    runUntil([] { return false; }, Clock::now() + duration);
  }
};

/// A poll(2)-based run loop, one per thread; it serves only what is registered with it.
class PollRunLoop final : public RunLoop {
 public:
  PollRunLoop() = default;
  PollRunLoop(const PollRunLoop&) = delete;
  PollRunLoop& operator=(const PollRunLoop&) = delete;

  Id addTimer(Clock::duration delay, std::function<void()> fire) override;
  void cancelTimer(Id id) override;
  /// Whether a timer is still pending.
  bool hasTimer(Id id) const { return timers_.count(id) != 0; }
  Id watchFd(int fd, short events, std::function<void(short revents)> ready) override;
  void updateWatch(Id id, short events) override;
  void removeWatch(Id id) override;
  void post(std::function<void()> task) override;
  bool runUntil(const std::function<bool()>& done, Clock::time_point deadline) override;

  /// Waits for events and handles them until at least one timer, watch or task has run,
  /// or until `deadline`. Answers true when something ran; false at once when the
  /// deadline has passed and nothing is ready.
  bool runOnce(Clock::time_point deadline);

 private:
  struct Timer {
    Clock::time_point due;
    std::function<void()> fire;
  };
  struct Watch {
    int fd;
    short events;
    std::function<void(short)> ready;
  };
  bool runReady(Clock::time_point now);

  Id nextId_ = 1;
  std::map<Id, Timer> timers_;
  std::map<Id, Watch> watches_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace jc
