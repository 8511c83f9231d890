// What the file task panels share: the named controls and meta-variable boxes, and
// the "..." button's text editor box with the hook tests replace. UI thread only.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <functional>
#include <string>

#include "naming/ui/panel_controls.h"
#include "settings/ui/text_input_dialog.h"
