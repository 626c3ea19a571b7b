#pragma once

#include "actions/BrowserVideoError.h"
#include "actions/BrowserVideoState.h"
#include "common/Result.h"

#include <QCoro/QCoroTask>
#include <QString>

#include <optional>

namespace glidra {

// How the scrubber reaches the video in the browser's front page.
class BrowserVideoControlling {
public:
    virtual ~BrowserVideoControlling() = default;

    // One request: `operation` is "begin", "seek" (with `target` seconds) or
    // "end"; `token` names the scrub session.
    virtual QCoro::Task<Result<BrowserVideoState, BrowserVideoError>> run(QString bundleIdentifier, QString operation,
                                                                          QString token,
                                                                          std::optional<double> target) = 0;
};

}  // namespace glidra
