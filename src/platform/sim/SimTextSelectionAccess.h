#pragma once

#include "platform/TextSelectionAccess.h"

#include <map>

namespace glidra::sim {

// The front application's element tree as tests build it: each element may
// be a password field, hold a selection and have a parent.
class SimTextSelectionAccess final : public TextSelectionAccess {
public:
    struct Node {
        bool secure = false;
        std::optional<QString> selectedText;
        std::optional<Element> parent;
    };

    std::optional<Element> focusedElement(double messagingTimeout) override {
        messagingTimeout_ = messagingTimeout;
        return focused_;
    }
    bool isSecureTextField(Element element) override { return node(element).secure; }
    std::optional<QString> selectedText(Element element) override { return node(element).selectedText; }
    std::optional<Element> parent(Element element) override { return node(element).parent; }

    void setNode(Element element, Node node) { nodes_[element] = std::move(node); }
    void setFocused(std::optional<Element> element) { focused_ = element; }
    std::optional<double> messagingTimeout() const { return messagingTimeout_; }

private:
    Node node(Element element) const {
        const auto it = nodes_.find(element);
        return it == nodes_.end() ? Node{} : it->second;
    }

    std::map<Element, Node> nodes_;
    std::optional<Element> focused_;
    std::optional<double> messagingTimeout_;
};

}  // namespace glidra::sim
