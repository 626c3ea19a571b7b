#include "platform/linux/QtClipboardPasteboard.h"

#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace glidra {
namespace {

TEST(QtClipboardPasteboardTest, ReadsWritesAndCountsEveryChange) {
    linux_platform::QtClipboardPasteboard pasteboard;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    auto count = pasteboard.changeCount();

    const QString text = QStringLiteral("标题\nhttps://example.com/\"q\"\\");
    EXPECT_TRUE(pasteboard.writeText(text));
    EXPECT_GT(pasteboard.changeCount(), count);
    EXPECT_EQ(pasteboard.text(), text);
    EXPECT_FALSE(pasteboard.hasImage());

    // Another program's copy counts as well.
    count = pasteboard.changeCount();
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::red);
    clipboard->setImage(image);
    EXPECT_GT(pasteboard.changeCount(), count);
    EXPECT_TRUE(pasteboard.hasImage());
    EXPECT_EQ(pasteboard.text(), std::nullopt);

    const QString file = test::temporaryHome() + QStringLiteral("/shot.png");
    ASSERT_TRUE(image.save(file));
    clipboard->setText(QStringLiteral("x"));
    count = pasteboard.changeCount();
    EXPECT_TRUE(pasteboard.writeImageFile(file));
    EXPECT_GT(pasteboard.changeCount(), count);
    EXPECT_TRUE(pasteboard.hasImage());
    EXPECT_FALSE(pasteboard.writeImageFile(test::temporaryHome() + QStringLiteral("/missing.png")));
}

}  // namespace
}  // namespace glidra
