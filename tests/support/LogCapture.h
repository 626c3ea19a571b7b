#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <mutex>
#include <vector>

namespace glidra::test {

// Collects the log messages written while it lives, in place of standard
// error. With `allDebug` it also switches on every glidra category's debug
// output, as QT_LOGGING_RULES="glidra.*.debug=true" does, and restores the
// defaults afterwards.
class LogCapture {
public:
    struct Message {
        QtMsgType type;
        QString category;
        QString text;
    };

    explicit LogCapture(bool allDebug = false) : allDebug_(allDebug) {
        current() = this;
        previous_ = qInstallMessageHandler(&LogCapture::handle);
        if (allDebug_) QLoggingCategory::setFilterRules(QStringLiteral("glidra.*.debug=true"));
    }
    ~LogCapture() {
        if (allDebug_) QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Message> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    // The messages of one category at one level, as text.
    QStringList texts(const char* category, QtMsgType type = QtWarningMsg) const {
        QStringList found;
        for (const Message& message : messages()) {
            if (message.type == type && message.category == QLatin1String(category)) found << message.text;
        }
        return found;
    }
    // Whether any message of any category holds `text`.
    bool anyContains(const QString& text) const {
        for (const Message& message : messages()) {
            if (message.text.contains(text)) return true;
        }
        return false;
    }

private:
    static LogCapture*& current() {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        LogCapture* capture = current();
        if (!capture) return;
        std::lock_guard lock(capture->mutex_);
        capture->messages_.push_back(
            {type, context.category ? QString::fromLatin1(context.category) : QString(), text});
    }

    bool allDebug_;
    QtMessageHandler previous_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

}  // namespace glidra::test
