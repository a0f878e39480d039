// The widget model's base control, window, view, box, progress indicator and image view.
#include "platform/widgets/control.h"

#include <algorithm>

namespace jc {

Control::Control(Kind kind) : kind_(kind), present_(true) {}
Control::Control(Kind kind, AbsentTag) : kind_(kind), present_(false), enabled_(false) {}
Control::~Control() = default;

void Control::setIdentifier(std::string id) {
  change([&] { identifier_ = std::move(id); });
}
void Control::setEnabled(bool enabled) {
  change([&] { enabled_ = enabled; });
}
void Control::setHidden(bool hidden) {
  change([&] { hidden_ = hidden; });
}
void Control::setTag(long tag) {
  change([&] { tag_ = tag; });
}
void Control::setFrame(Frame frame) {
  change([&] { frame_ = frame; });
}
void Control::setContentOrigin(Point origin) {
  change([&] { contentOrigin_ = origin; });
}
void Control::setAction(Action action) {
  if (present_) action_ = std::move(action);
}
void Control::sendAction() {
  if (!present_ || !action_) return;
  // A copy keeps the action alive even if it replaces itself while running.
  Action action = action_;
  action(*this);
}

std::size_t Control::addObserver(Observer observer) {
  if (!present_) return 0;
  observers_.emplace_back(nextObserver_, std::move(observer));
  return nextObserver_++;
}
void Control::removeObserver(std::size_t token) {
  std::erase_if(observers_, [token](const auto& entry) { return entry.first == token; });
}
void Control::notify() {
  // Observers may remove themselves while being called: iterate over a copy.
  auto observers = observers_;
  for (auto& [token, observer] : observers) observer(*this);
}

void Control::addChild(std::shared_ptr<Control> child) {
  if (!present_ || !child) return;
  child->parent_ = this;
  children_.push_back(std::move(child));
}

Window* Control::window() const {
  const Control* node = this;
  while (node->parent_) node = node->parent_;
  if (node->kind_ != Kind::View) return nullptr;
  return static_cast<const View*>(node)->ownWindow();
}

bool Window::makeFirstResponder(Control* responder) {
  if (firstResponder_ == responder) return true;
  firstResponder_ = responder;
  auto observers = focusObservers_;  // an observer may remove itself
  for (auto& [token, observer] : observers) observer(responder);
  return true;
}

std::size_t Window::addFocusObserver(FocusObserver observer) {
  focusObservers_.emplace_back(nextFocusObserver_, std::move(observer));
  return nextFocusObserver_++;
}

void Window::removeFocusObserver(std::size_t token) {
  std::erase_if(focusObservers_, [token](const auto& entry) { return entry.first == token; });
}

void View::setWindow(Window* window) {
  change([&] { window_ = window; });
}

void Box::setTitle(std::string title) {
  change([&] { title_ = std::move(title); });
}

void ProgressIndicator::startAnimation() {
  change([&] { animating_ = true; });
}
void ProgressIndicator::stopAnimation() {
  change([&] { animating_ = false; });
}

void ImageView::setImage(ImageRef image) {
  change([&] { image_ = std::move(image); });
}

}  // namespace jc
