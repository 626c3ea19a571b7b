#pragma once

#include "common/Result.h"
#include "executors/BrowserVideoError.h"
#include "executors/BrowserVideoState.h"

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
