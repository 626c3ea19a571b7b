#pragma once

class QFrame;

namespace glidra {

// A thin horizontal line between the parts of a page or guide.
QFrame* divider();

}  // namespace glidra
