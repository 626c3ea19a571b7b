#pragma once

#include "platform/FileDialogs.h"

#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace glidra::sim {

// Panels that answer from a script: each call takes the next scripted answer
// (a path, or nothing for a cancel; a cancel when the script is empty) and
// records the request and its parent.
class SimFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const OpenRequest& request) override {
        openRequests_.push_back(request);
        return answer(parent);
    }
    std::optional<QString> saveFile(QWidget* parent, const SaveRequest& request) override {
        saveRequests_.push_back(request);
        return answer(parent);
    }

    void scriptAnswer(std::optional<QString> path) { answers_.push_back(std::move(path)); }
    // Runs while the panel is "open", as the nested event loop would let
    // other work run: a test closes windows or changes state there.
    void whileOpen(std::function<void()> work) { whileOpen_ = std::move(work); }

    const std::vector<OpenRequest>& openRequests() const { return openRequests_; }
    const std::vector<SaveRequest>& saveRequests() const { return saveRequests_; }
    QWidget* lastParent() const { return lastParent_; }

private:
    std::optional<QString> answer(QWidget* parent) {
        lastParent_ = parent;
        if (whileOpen_) std::exchange(whileOpen_, {})();
        if (answers_.empty()) return std::nullopt;
        auto path = std::move(answers_.front());
        answers_.pop_front();
        return path;
    }

    std::deque<std::optional<QString>> answers_;
    std::function<void()> whileOpen_;
    std::vector<OpenRequest> openRequests_;
    std::vector<SaveRequest> saveRequests_;
    QWidget* lastParent_ = nullptr;
};

}  // namespace glidra::sim
