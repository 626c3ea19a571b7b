#pragma once

#include "platform/FileDialogs.h"

#include <QObject>
#include <QPointer>

#include <utility>
#include <vector>

namespace glidra::sim {

// Panels the test answers: each call records its request and parent and
// leaves the panel open, as the desktop's would be, until the test gives the
// user's choice with `answer`. A panel whose receiver went answers nothing.
class SimFileDialogs final : public FileDialogs {
public:
    void openFile(QWidget* parent, const OpenRequest& request, QObject* receiver, Answer answer) override {
        openRequests_.push_back(request);
        present(parent, receiver, std::move(answer));
    }
    void saveFile(QWidget* parent, const SaveRequest& request, QObject* receiver, Answer answer) override {
        saveRequests_.push_back(request);
        present(parent, receiver, std::move(answer));
    }

    // A panel is open and someone still waits for its answer.
    bool isOpen() const { return !panels_.empty() && panels_.back().receiver; }
    // The user's choice in the panel opened last: a path, or nothing for a
    // cancel. False when no panel was open or its receiver had gone.
    bool answer(std::optional<QString> path) {
        if (panels_.empty()) return false;
        Panel panel = std::move(panels_.back());
        panels_.pop_back();
        if (!panel.receiver) return false;
        panel.answer(std::move(path));
        return true;
    }

    const std::vector<OpenRequest>& openRequests() const { return openRequests_; }
    const std::vector<SaveRequest>& saveRequests() const { return saveRequests_; }
    QWidget* lastParent() const { return lastParent_; }

private:
    struct Panel {
        QPointer<QObject> receiver;
        Answer answer;
    };

    void present(QWidget* parent, QObject* receiver, Answer answer) {
        lastParent_ = parent;
        panels_.push_back(Panel{receiver, std::move(answer)});
    }

    std::vector<Panel> panels_;
    std::vector<OpenRequest> openRequests_;
    std::vector<SaveRequest> saveRequests_;
    QWidget* lastParent_ = nullptr;
};

}  // namespace glidra::sim
