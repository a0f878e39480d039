// Every kind of control of the widget model, in one include.
#pragma once

#include "platform/widgets/button.h"
#include "platform/widgets/control.h"
#include "platform/widgets/popup_button.h"
#include "platform/widgets/tab_view.h"
#include "platform/widgets/text_field.h"
