#pragma once

#include "Wnd.h"

// A text label.
class CStatic : public CWnd {};
