#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QObject>

#include <optional>

namespace glidra {

struct UiContext;

// The tray icon: the "hand.draw" symbol, with a dot in its top-right corner
// when something needs the user: red while control does not work, orange
// while an effect the menu can undo is in force. Panels on Linux do not tint
// template images, so the symbol is drawn black or white for the palette,
// outlined in the other colour, since the panel's own colour is unknown.
class GlidraMenuBarIcon final : public QObject {
    Q_OBJECT
public:
    static constexpr int kSymbolSide = 18;
    static constexpr int kMinimumHeight = 18;
    // A loaded symbol that could not be drawn counts as this wide and high.
    static constexpr int kMissingSymbolSide = 16;
    // How far the contrasting outline reaches beyond the strokes.
    static constexpr qreal kHaloWidth = 1;

    explicit GlidraMenuBarIcon(UiContext& context, QObject* parent = nullptr);
    ~GlidraMenuBarIcon() override;

    // Red when control does not work, else orange for a lasting effect (the
    // keyboard lock, keep-awake, a muted microphone, hidden desktop icons),
    // else none.
    std::optional<QColor> badgeColor() const;

    // The symbol (`symbol`, drawn when it loads) flush left and centred
    // vertically on a canvas 4 wider than the symbol and at least 18 high,
    // with a 4-point dot 1 in from the right and top edges.
    static QImage badgedSymbolImage(bool isDark, const QColor& color,
                                    const QString& symbol = QStringLiteral("hand.draw"), qreal devicePixelRatio = 2);
    // The symbol alone, in the colours the panel cannot give it.
    static QImage plainSymbolImage(bool isDark, qreal devicePixelRatio = 2);

    // The icon for the current state and palette.
    QIcon icon() const;
    QImage image() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // The icon must be drawn again: the state or the palette changed.
    void changed();

private:
    UiContext& context_;
};

}  // namespace glidra
