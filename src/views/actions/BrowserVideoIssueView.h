#pragma once

#include "views/kit/StatusBanner.h"

namespace glidra {

// The banner for the last failure of browser video control, in the
// controller's words, in the secondary style, with a close target of its own.
class BrowserVideoIssueView final : public kit::StatusBanner {
    Q_OBJECT
public:
    explicit BrowserVideoIssueView(const QString& issue, QWidget* parent = nullptr);

    QString issue() const { return text(); }

Q_SIGNALS:
    void dismissed();
};

}  // namespace glidra
