#pragma once

class QWidget;

// Input as the window system delivers it: posted to the window, which passes
// it on to the control under the mouse or with the focus. Nothing is handled
// until the event loop runs.
namespace PostedInput {

void click(QWidget &control);
// A Space key, to whichever control has the focus.
void space(QWidget &window);

} // namespace PostedInput
