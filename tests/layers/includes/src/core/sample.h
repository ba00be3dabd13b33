// A plain header that breaks the layering twice.
#pragma once

#include "core/key_path.h"
#include "ui/ui_text.h"

#include <QString>
#include <string>
