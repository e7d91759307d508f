#pragma once

#include <Qt>

class QString;
class QWidget;

// Input as the window system delivers it: posted to the window, which passes
// it on to the control under the mouse or with the focus. Nothing is handled
// until the event loop runs.
namespace PostedInput {

void click(QWidget &control);
// A key pressed and released, to whichever control has the focus.
void key(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text);
void space(QWidget &window);

} // namespace PostedInput
