#include "qt/component_hint.h"

#include <QWidget>

#include "qt/qt_text.h"

namespace quenbo::qt {

void applyHint(QWidget& widget, const window::Hint& hint) {
  // Without a tooltip of its own the widget shows the front-end's standing hint again.
  widget.setToolTip(hint.toolTip.empty() ? widget.property(kStandingToolTip).toString()
                                         : toQString(hint.toolTip));
  // A property the style sheet could match as well; the widget's own sheet keeps the rest
  // of the application's look.
  if (widget.property("marked").toBool() == hint.marked) return;
  widget.setProperty("marked", hint.marked);
  widget.setStyleSheet(hint.marked ? QStringLiteral("color: #c0392b; text-decoration: underline;")
                                   : QString());
}

}  // namespace quenbo::qt
