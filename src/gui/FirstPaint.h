#pragma once
// The first idle moment of a window: the program's one-shot start-up work
// (warnings, the update check) waits until the user can see the window.

#include <functional>

class QWidget;

/// Calls `work` once, at the first idle moment after `window` has been painted.
/// A window that is not shown by the first idle moment is not waited for; one
/// that is shown but not painted within a few seconds (started minimised) is
/// waited for no longer.
void AtFirstIdleAfterPaint(QWidget *window, std::function<void()> work);
