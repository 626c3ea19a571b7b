#pragma once

namespace glidra {

// Where the browser's video stands, in seconds.
struct BrowserVideoState {
    double time = 0;
    double duration = 0;

    friend bool operator==(const BrowserVideoState&, const BrowserVideoState&) = default;
};

}  // namespace glidra
