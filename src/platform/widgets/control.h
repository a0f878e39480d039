// The headless widget model: the base of every control, the window with its first
// responder, plain views, boxes, progress indicators and image views.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/widgets/image.h"

namespace jc {

class Window;

/// A control of a panel layout. Controls form a tree (a view holds boxes, a box holds
/// buttons, a matrix holds its cells) and notify observers after every change, so a GUI
/// binding can mirror them.
///
/// Every kind has one shared *absent* instance (see `absent<T>()`): it answers 0, false or
/// empty to every question and ignores every command. Code that reaches a control through
/// an `Outlet` therefore never needs to ask whether the layout had it.
class Control {
 public:
  enum class Kind {
    View,
    Box,
    Button,
    ButtonCell,
    Matrix,
    TextField,
    PopUpButton,
    TabView,
    TabViewItem,
    ProgressIndicator,
    ImageView
  };
  /// A control's place on its parent, in points from the top left of the parent's content
  /// area (see `contentOrigin`); the GUI host lays controls out by it.
  struct Frame {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Frame&) const = default;
  };
  /// A point, in points.
  struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
  };
  using Action = std::function<void(Control& sender)>;
  using Observer = std::function<void(Control& changed)>;

  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  /// False only for the absent instances.
  bool present() const { return present_; }

  /// The outlet name the layout gave this control ("" when it has none).
  const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string id);

  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled);
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden);
  long tag() const { return tag_; }
  void setTag(long tag);
  Frame frame() const { return frame_; }
  void setFrame(Frame frame);
  /// Where the content area of this control starts, from the top left of its frame: its
  /// children's frames count from there. (0, 0) unless the layout says otherwise: below
  /// the title of a box, below the tab strip of a tab view.
  Point contentOrigin() const { return contentOrigin_; }
  void setContentOrigin(Point origin);

  /// Sets the method that runs when the user operates the control.
  void setAction(Action action);
  bool hasAction() const { return static_cast<bool>(action_); }
  /// Runs the control's action with the control as sender; does nothing without one.
  void sendAction();

  /// Adds an observer called after each change of this control; answers a token for
  /// `removeObserver`. The absent instance keeps no observers and answers 0.
  std::size_t addObserver(Observer observer);
  void removeObserver(std::size_t token);

  Control* parent() const { return parent_; }
  const std::vector<std::shared_ptr<Control>>& children() const { return children_; }
  /// Makes `child` the last child of this control (the absent instance keeps none).
  void addChild(std::shared_ptr<Control> child);
  /// The window of the view at the root of this control's tree, or nullptr.
  Window* window() const;

 protected:
  struct AbsentTag {};
  explicit Control(Kind kind);
  Control(Kind kind, AbsentTag);

  /// Applies a change and notifies the observers; on an absent control nothing happens.
  /// Every setter goes through here, which is what makes absent controls inert.
  template <class F>
  void change(F&& apply) {
    if (!present_) return;
    apply();
    notify();
  }
  void notify();

 private:
  Kind kind_;
  bool present_;
  std::string identifier_;
  bool enabled_ = true;
  bool hidden_ = false;
  long tag_ = 0;
  Frame frame_;
  Point contentOrigin_;
  Action action_;
  std::vector<std::pair<std::size_t, Observer>> observers_;
  std::size_t nextObserver_ = 1;
  Control* parent_ = nullptr;
  std::vector<std::shared_ptr<Control>> children_;

  template <class T>
  friend T& absent();
};

/// The shared absent instance of control kind T: every question answers 0 or empty and
/// every command is ignored.
template <class T>
T& absent() {
  static T instance{Control::AbsentTag{}};
  return instance;
}

/// A window that holds a root view and knows which control has keyboard focus.
class Window {
 public:
  /// Told the new first responder (nullptr: nobody has the focus) after each change.
  using FocusObserver = std::function<void(Control* responder)>;

  /// Gives keyboard focus to `responder`, or takes it from everyone when nullptr, and
  /// tells the focus observers when that changed who has it. Answers true (the model never
  /// refuses).
  bool makeFirstResponder(Control* responder);
  Control* firstResponder() const { return firstResponder_; }

  /// Adds an observer of the first responder, so a binding moves the toolkit's focus when
  /// the panel does without asking after every event; answers a token (never 0).
  std::size_t addFocusObserver(FocusObserver observer);
  /// Removes an observer; safe inside its own call. An unknown token is ignored.
  void removeFocusObserver(std::size_t token);

 private:
  Control* firstResponder_ = nullptr;
  std::vector<std::pair<std::size_t, FocusObserver>> focusObservers_;
  std::size_t nextFocusObserver_ = 1;
};

/// A plain view: the panel's root or a grouping inside it.
class View : public Control {
 public:
  View() : Control(Kind::View) {}
  explicit View(AbsentTag t) : Control(Kind::View, t) {}
  /// Puts the view (the root of a tree) into `window`, or takes it out with nullptr.
  void setWindow(Window* window);
  Window* ownWindow() const { return window_; }

 private:
  Window* window_ = nullptr;
};

/// A titled frame around a group of controls.
class Box : public Control {
 public:
  Box() : Control(Kind::Box) {}
  explicit Box(AbsentTag t) : Control(Kind::Box, t) {}
  const std::string& title() const { return title_; }
  void setTitle(std::string title);

 private:
  std::string title_;
};

/// A busy indicator: hidden or shown, animating or still.
class ProgressIndicator : public Control {
 public:
  ProgressIndicator() : Control(Kind::ProgressIndicator) {}
  explicit ProgressIndicator(AbsentTag t) : Control(Kind::ProgressIndicator, t) {}
  bool isAnimating() const { return animating_; }
  void startAnimation();
  void stopAnimation();

 private:
  bool animating_ = false;
};

/// A view that shows one image.
class ImageView : public Control {
 public:
  ImageView() : Control(Kind::ImageView) {}
  explicit ImageView(AbsentTag t) : Control(Kind::ImageView, t) {}
  const ImageRef& image() const { return image_; }
  void setImage(ImageRef image);

 private:
  ImageRef image_;
};

/// A connection from an owner to a control of kind T that the layout may lack.
/// An empty outlet dereferences to the absent instance, so calls through it are safe.
template <class T>
class Outlet {
 public:
  Outlet() = default;
  T* operator->() const { return ptr_ ? ptr_.get() : &absent<T>(); }
  T& operator*() const { return *operator->(); }
  /// True when the layout connected a control.
  explicit operator bool() const { return ptr_ != nullptr; }
  const std::shared_ptr<T>& get() const { return ptr_; }
  /// Connects `control` when it is of kind T; answers false (and stays as it was)
  /// otherwise. A null control empties the outlet.
  bool connect(const std::shared_ptr<Control>& control) {
    if (!control) {
      ptr_.reset();
      return true;
    }
    auto typed = std::dynamic_pointer_cast<T>(control);
    if (!typed) return false;
    ptr_ = std::move(typed);
    return true;
  }
  void reset() { ptr_.reset(); }

 private:
  std::shared_ptr<T> ptr_;
};

}  // namespace jc
