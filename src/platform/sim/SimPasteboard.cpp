#include "platform/sim/SimPasteboard.h"

namespace glidra::sim {

bool SimPasteboard::writeText(const QString& text) {
    writtenTexts_.append(text);
    if (refusesWrites_) return false;
    copyText(text);
    return true;
}

void SimPasteboard::copyText(const QString& text) {
    ++changeCount_;
    text_ = text;
    hasImage_ = false;
}

void SimPasteboard::copyImage() {
    ++changeCount_;
    text_.reset();
    hasImage_ = true;
}

void SimPasteboard::clear() {
    ++changeCount_;
    text_.reset();
    hasImage_ = false;
}

}  // namespace glidra::sim
