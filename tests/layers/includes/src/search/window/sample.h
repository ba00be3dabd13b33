// A window header may include anything below it.
#pragma once

#include "app/window/frm_main.h"
#include "ui/ui_text.h"

#include <QDialog>
