// Small owners for GLib objects: a strong reference to a GObject, and a signal connection
// that is undone when its owner goes.
#pragma once

#include <glib-object.h>

#include <utility>

namespace jc::gtk {

/// Holds one strong reference to a GObject of type T (sinking a floating one), and drops
/// it when destroyed. Empty when made from nullptr.
template <class T>
class ObjectRef {
 public:
  ObjectRef() = default;
  /// Takes a new reference on `object` (and sinks it when it is floating).
  explicit ObjectRef(T* object) : object_(object) {
    if (object_) g_object_ref_sink(object_);
  }
  /// Adopts the reference the caller owns (for functions answering a new object).
  static ObjectRef adopt(T* object) {
    ObjectRef ref;
    ref.object_ = object;
    return ref;
  }
  ObjectRef(const ObjectRef& other) : ObjectRef(other.object_) {}
  ObjectRef(ObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ObjectRef& operator=(ObjectRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ObjectRef() {
    if (object_) g_object_unref(object_);
  }
  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

/// A signal handler connected to an instance, disconnected when this owner is destroyed
/// (unless the instance went first: the owner keeps a weak pointer to it).
class SignalConnection {
 public:
  SignalConnection() = default;
  SignalConnection(gpointer instance, gulong id) : instance_(instance), id_(id) {
    if (instance_) g_object_add_weak_pointer(G_OBJECT(instance_), &instance_);
  }
  SignalConnection(SignalConnection&& other) noexcept
      : SignalConnection(other.instance_, other.id_) {
    other.forget();
  }
  SignalConnection& operator=(SignalConnection&& other) noexcept {
    if (this != &other) {
      reset();
      instance_ = other.instance_;
      id_ = other.id_;
      if (instance_) g_object_add_weak_pointer(G_OBJECT(instance_), &instance_);
      other.forget();
    }
    return *this;
  }
  SignalConnection(const SignalConnection&) = delete;
  SignalConnection& operator=(const SignalConnection&) = delete;
  ~SignalConnection() { reset(); }
  /// Disconnects the handler now (when the instance is still there).
  void reset() {
    if (instance_) {
      g_object_remove_weak_pointer(G_OBJECT(instance_), &instance_);
      if (id_) g_signal_handler_disconnect(instance_, id_);
    }
    instance_ = nullptr;
    id_ = 0;
  }

 private:
  // Lets go of the instance without disconnecting (the handler now belongs to another).
  void forget() {
    if (instance_) g_object_remove_weak_pointer(G_OBJECT(instance_), &instance_);
    instance_ = nullptr;
    id_ = 0;
  }

  gpointer instance_ = nullptr;
  gulong id_ = 0;
};

}  // namespace jc::gtk
