// A kit header that includes a window's header.
#pragma once

#include "search/window/frm_find.h"
#include "ui/image_list.h"

#include <QWidget>
