// Every kind of control of the widget model, in one include.
#pragma once

#include "platform/button.h"
#include "platform/control.h"
#include "platform/popup_button.h"
#include "platform/tab_view.h"
#include "platform/text_field.h"
