#include "platform/linux/QtScreenCovers.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace glidra::linux_platform {

QtScreenCovers::QtScreenCovers(QObject* parent) : ScreenCovers(parent) {
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        reportScreensChanged();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &QtScreenCovers::reportScreensChanged);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &QtScreenCovers::reportScreensChanged);
    for (QScreen* screen : QGuiApplication::screens()) watchScreen(screen);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) Q_EMIT didBecomeActive();
    });
}

QtScreenCovers::~QtScreenCovers() {
    for (auto& [id, cover] : covers_) delete cover.window;
}

void QtScreenCovers::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &QtScreenCovers::reportScreensChanged);
}

void QtScreenCovers::reportScreensChanged() {
    if (reportPending_) return;
    reportPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            reportPending_ = false;
            Q_EMIT screensChanged();
        },
        Qt::QueuedConnection);
}

int QtScreenCovers::screenCount() const { return int(QGuiApplication::screens().size()); }

ScreenCovers::CoverId QtScreenCovers::openCover(int screenIndex, const std::optional<QString>& hint) {
    const auto screens = QGuiApplication::screens();
    QScreen* screen = screenIndex >= 0 && screenIndex < screens.size() ? screens[screenIndex] : nullptr;

    auto* window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                            Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus);
    window->setObjectName(QStringLiteral("cleaningCover"));
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    window->setPalette(palette);

    if (screen) {
        window->setScreen(screen);
        window->setGeometry(screen->geometry());
    }
    Cover cover{window, nullptr};
    if (hint) {
        // Fills the window, so its text sits in the middle.
        auto* label = new QLabel(*hint, window);
        label->setObjectName(QStringLiteral("cleaningExitHint"));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        QFont font = label->font();
        font.setPixelSize(17);
        font.setWeight(QFont::Medium);
        label->setFont(font);
        label->setGeometry(window->rect());
        cover.hint = label;
    }
    applyCursor(window);
    window->show();

    const CoverId id = nextCover_++;
    covers_[id] = cover;
    return id;
}

void QtScreenCovers::removeHint(CoverId id) {
    const auto it = covers_.find(id);
    if (it == covers_.end() || !it->second.hint) return;
    delete it->second.hint;
}

void QtScreenCovers::closeCover(CoverId id) {
    const auto it = covers_.find(id);
    if (it == covers_.end()) return;
    // Called from the program's own logic, never from the window's events,
    // so the window can go at once.
    delete it->second.window.data();
    covers_.erase(it);
}

void QtScreenCovers::applyCursor(QWidget* window) const {
    if (pointerHidden_) {
        window->setCursor(Qt::BlankCursor);
    } else {
        window->unsetCursor();
    }
}

bool QtScreenCovers::hidePointerInBackground() {
    pointerHidden_ = true;
    for (auto& [id, cover] : covers_) {
        if (cover.window) applyCursor(cover.window);
    }
    return true;
}

void QtScreenCovers::showPointerInBackground() {
    pointerHidden_ = false;
    for (auto& [id, cover] : covers_) {
        if (cover.window) applyCursor(cover.window);
    }
}

bool QtScreenCovers::isActiveApplication() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void QtScreenCovers::activateSelf() {
    for (auto& [id, cover] : covers_) {
        if (!cover.window) continue;
        cover.window->activateWindow();
        return;
    }
}

QWidget* QtScreenCovers::window(CoverId id) const {
    const auto it = covers_.find(id);
    return it == covers_.end() ? nullptr : it->second.window.data();
}

QLabel* QtScreenCovers::hintLabel(CoverId id) const {
    const auto it = covers_.find(id);
    return it == covers_.end() ? nullptr : it->second.hint.data();
}

}  // namespace glidra::linux_platform
