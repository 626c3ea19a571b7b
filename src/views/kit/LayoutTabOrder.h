#pragma once

class QWidget;

namespace glidra::kit {

// Puts the Tab order of the controls inside `root` in the order its layouts
// show them: each layout's items first to last, a container's controls
// before the next item's. Controls built after their neighbours (a rebuilt
// panel) then come where they stand, not after everything built before.
void followLayoutOrder(QWidget* root);

}  // namespace glidra::kit
