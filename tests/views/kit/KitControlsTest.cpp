#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/Card.h"
#include "views/kit/GroupBox.h"
#include "views/kit/KitColour.h"
#include "views/kit/ProminentButton.h"
#include "views/kit/ResultLine.h"
#include "views/kit/SegmentedControl.h"
#include "views/kit/ShellCommandView.h"
#include "views/kit/StatusBanner.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Switch.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SymbolView.h"
#include "views/kit/WheelGuard.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace glidra::kit {
namespace {

TEST(KitControlsTest, SwitchesSignalOnlyWhatTheUserDoes) {
    SwitchRow row(QStringLiteral("显示操作提示"));
    row.show();
    QSignalSpy clicked(&row, &SwitchRow::clicked);

    row.setChecked(true);  // a sync from the model
    row.setChecked(false);
    EXPECT_EQ(clicked.count(), 0);

    QTest::mouseClick(row.switchControl(), Qt::LeftButton);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.takeFirst().at(0).toBool(), true);
    EXPECT_TRUE(row.isChecked());

    row.switchControl()->setFocus();
    QTest::keyClick(row.switchControl(), Qt::Key_Space);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.takeFirst().at(0).toBool(), false);

    // The switch hides its own label but names itself for assistive tools.
    EXPECT_EQ(row.switchControl()->accessibleName(), QStringLiteral("显示操作提示"));
    EXPECT_EQ(row.switchControl()->sizeHint(), QSize(42, 24));
}

TEST(KitControlsTest, SegmentedControlSignalsOnlyAChoiceTheUserMade) {
    SegmentedControl control({QStringLiteral("灵敏"), QStringLiteral("标准"), QStringLiteral("稳健")});
    control.resize(control.sizeHint());
    control.show();
    QSignalSpy activated(&control, &SegmentedControl::activated);

    control.setCurrentIndex(1);
    EXPECT_EQ(control.currentIndex(), 1);
    EXPECT_EQ(activated.count(), 0);

    struct Step {
        const char* what;
        std::function<void()> act;
        int current;
        std::optional<int> signalled;
    };
    const Step steps[] = {
        {"click the current one",
         [&] { QTest::mouseClick(&control, Qt::LeftButton, {}, control.segmentRect(1).center()); }, 1, std::nullopt},
        {"click another", [&] { QTest::mouseClick(&control, Qt::LeftButton, {}, control.segmentRect(2).center()); }, 2,
         2},
        {"right at the end", [&] { QTest::keyClick(&control, Qt::Key_Right); }, 2, std::nullopt},
        {"left", [&] { QTest::keyClick(&control, Qt::Key_Left); }, 1, 1},
        {"press on one, release on another",
         [&] {
             QTest::mousePress(&control, Qt::LeftButton, {}, control.segmentRect(0).center());
             QTest::mouseRelease(&control, Qt::LeftButton, {}, control.segmentRect(2).center());
         },
         1, std::nullopt},
        {"set from code", [&] { control.setCurrentIndex(0); }, 0, std::nullopt},
    };
    control.setFocus();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        activated.clear();
        step.act();
        EXPECT_EQ(control.currentIndex(), step.current);
        if (step.signalled) {
            ASSERT_EQ(activated.count(), 1);
            EXPECT_EQ(activated.first().at(0).toInt(), *step.signalled);
        } else {
            EXPECT_EQ(activated.count(), 0);
        }
    }

    control.setOptions({QStringLiteral("上"), QStringLiteral("中")});
    EXPECT_EQ(control.currentIndex(), 0);
    control.setCurrentIndex(1);
    control.setOptions({QStringLiteral("上")});
    EXPECT_EQ(control.currentIndex(), -1);
}

// Beside the text, where only the face shows: its least contrast to the
// button's text colour, as the style painted it.
double faceContrastBesideText(QPushButton& button) {
    const QImage face = button.grab().toImage();
    const QColor text = button.palette().color(QPalette::ButtonText);
    double least = 21;
    for (int y = 4; y < face.height() - 4; ++y) {
        for (const int x : {4, 6, face.width() - 7, face.width() - 5})
            least = std::min(least, contrastRatio(text, face.pixelColor(x, y)));
    }
    return least;
}

TEST(KitControlsTest, AProminentButtonsTextReadsOnItsFaceAndFollowsTheTheme) {
    ASSERT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
    const auto palettes = test::everyPalette();
    for (size_t i = 0; i < palettes.size(); ++i) {
        const auto& [name, palette] = palettes[i];
        SCOPED_TRACE(name);
        const test::ScopedPalette scoped(palette);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* button = new QPushButton(QStringLiteral("保存"));
        makeProminent(button);
        layout->addWidget(button);
        window.show();
        EXPECT_GE(faceContrastBesideText(*button), textContrast);
        test::saveForReview(test::pictureOf(window), QStringLiteral("prominent-button-%1").arg(i));
        // Hovered and pressed faces too.
        EXPECT_GE(faceContrast(button, button->palette().color(QPalette::Button),
                               button->palette().color(QPalette::ButtonText)),
                  textContrast);
        // Still the highlight's colour.
        EXPECT_NEAR(button->palette().color(QPalette::Button).hslHue(), palette.color(QPalette::Highlight).hslHue(), 2);

        // The theme changes between light and dark under a button made
        // before: the face comes from the new highlight.
        const auto& [otherName, other] = palettes[(i + 3) % palettes.size()];
        SCOPED_TRACE(otherName);
        const test::ScopedPalette changed(other);
        EXPECT_GE(faceContrastBesideText(*button), textContrast);
        EXPECT_NEAR(button->palette().color(QPalette::Button).hslHue(), other.color(QPalette::Highlight).hslHue(), 2);
    }
}

// The style's focus line vanishes on the filled face: a ring around the
// face, apart from it, stands out from the face and from the window.
TEST(KitControlsTest, AFocusedProminentButtonWearsARingThatStandsOutFromItsFaceAndTheWindow) {
    for (const auto& [name, palette] : test::everyPalette()) {
        SCOPED_TRACE(name);
        const test::ScopedPalette scoped(palette);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(20, 20, 20, 20);
        auto* other = new QPushButton(QStringLiteral("取消"));
        auto* button = new QPushButton(QStringLiteral("开始录入"));
        makeProminent(button);
        layout->addWidget(other);
        layout->addWidget(button);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        const auto pixels = [&] { return window.grab().toImage(); };
        // Beside the middle of the face's left edge: the ring's middle, the
        // face itself, and the window beyond the ring.
        const QPoint edge = button->mapTo(&window, QPoint(0, button->height() / 2));
        const QPoint ring = edge - QPoint(2, 0);
        const QPoint face = edge + QPoint(6, 0);
        const QPoint beyond = edge - QPoint(6, 0);

        other->setFocus(Qt::TabFocusReason);
        const QImage resting = pixels();
        EXPECT_EQ(resting.pixelColor(ring), resting.pixelColor(beyond)) << "no ring without the focus";

        button->setFocus(Qt::TabFocusReason);
        const QImage focused = pixels();
        EXPECT_GE(contrastRatio(focused.pixelColor(ring), focused.pixelColor(face)), graphicContrast);
        EXPECT_GE(contrastRatio(focused.pixelColor(ring), focused.pixelColor(beyond)), graphicContrast);
        EXPECT_EQ(focused.pixelColor(ring).rgb(), focusRingColour(button).rgb());
        test::saveForReview(test::pictureOf(window), QStringLiteral("prominent-button-focus-") + QLatin1String(name));
    }
}

// A command to copy into a terminal breaks lines only where a shell reads a
// space, and whatever way it is copied it is the command itself.
TEST(KitControlsTest, ACommandWrapsOnlyBetweenWordsAndIsCopiedWhole) {
    const QString command = QStringLiteral(
        "sudo sh -c 'install -m 0644 -t /etc/udev/rules.d /usr/share/glidra/udev/70-glidra-touchpad.rules && "
        "udevadm control --reload && udevadm trigger --subsystem-match=input'");
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* view = new ShellCommandView(command);
    layout->addWidget(view);
    for (const int width : {260, 420}) {
        SCOPED_TRACE(width);
        window.resize(width, 300);
        window.show();
        QCoreApplication::sendPostedEvents();
        layout->activate();
        QTextEdit* text = view->textView();
        QTextDocument* document = text->document();
        QStringList lines;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* laid = block.layout();
            for (int i = 0; i < laid->lineCount(); ++i) {
                const QTextLine line = laid->lineAt(i);
                lines << block.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
            }
        }
        ASSERT_GT(lines.size(), 2) << "the command should take several lines";
        EXPECT_EQ(lines.join(QString()), command);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].endsWith(QLatin1Char(' ')))
                << "broken inside a word: " << lines[i] << "⏎" << lines[i + 1];
        }
        // Every line shows: the view is as tall as its lines.
        EXPECT_GE(text->viewport()->height(), int(document->size().height()));
        test::saveForReview(test::pictureOf(window), QStringLiteral("shell-command-%1").arg(width));
    }

    // Selected and copied, as Ctrl+C does, or by the button.
    QTextEdit* text = view->textView();
    text->selectAll();
    text->copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), command);
    QGuiApplication::clipboard()->clear();
    QSignalSpy copied(view, &ShellCommandView::copied);
    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), command);
    EXPECT_EQ(copied.count(), 1);
    EXPECT_EQ(view->copyButton()->accessibleName(), QStringLiteral("复制命令"));
}

TEST(KitControlsTest, ASegmentedControlIsAGroupOfNamedOptionsForAssistiveTechnologies) {
    SegmentedControl control({QStringLiteral("灵敏"), QStringLiteral("标准"), QStringLiteral("稳健")});
    control.setAccessibleName(QStringLiteral("识别等级"));
    control.resize(control.sizeHint());
    control.show();
    control.setCurrentIndex(1);
    QSignalSpy activated(&control, &SegmentedControl::activated);

    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(&control);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("识别等级"));
    EXPECT_EQ(group->text(QAccessible::Value), QStringLiteral("标准"));
    ASSERT_EQ(group->childCount(), 3);
    const auto checkedNames = [group] {
        QStringList names;
        for (int i = 0; i < group->childCount(); ++i) {
            QAccessibleInterface* option = group->child(i);
            EXPECT_EQ(option->role(), QAccessible::RadioButton);
            EXPECT_TRUE(option->state().checkable);
            EXPECT_EQ(option->parent(), group);
            EXPECT_EQ(group->indexOfChild(option), i);
            if (option->state().checked) names << option->text(QAccessible::Name);
        }
        return names;
    };
    EXPECT_EQ(checkedNames(), QStringList{QStringLiteral("标准")});
    EXPECT_EQ(group->child(0)->text(QAccessible::Name), QStringLiteral("灵敏"));
    const QRect first = group->child(0)->rect();
    EXPECT_EQ(first.size(), control.segmentRect(0).size());
    EXPECT_EQ(group->childAt(first.center().x(), first.center().y()), group->child(0));

    // Pressed by an assistive technology, as a click would.
    QAccessibleActionInterface* press = group->child(2)->actionInterface();
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(press->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    press->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.front().front().toInt(), 2);
    EXPECT_EQ(group->text(QAccessible::Value), QStringLiteral("稳健"));
    EXPECT_EQ(checkedNames(), QStringList{QStringLiteral("稳健")});
    EXPECT_EQ(group->focusChild(), nullptr);
    control.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&control));
    control.setFocus();
    EXPECT_EQ(group->focusChild(), group->child(2));
    EXPECT_TRUE(group->child(2)->state().focused);

    // From code: the value follows, nothing is reported as chosen.
    control.setCurrentIndex(-1);
    EXPECT_EQ(group->text(QAccessible::Value), QString());
    EXPECT_TRUE(checkedNames().isEmpty());
    control.setEnabled(false);
    group->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(activated.count(), 1) << "a disabled control takes no press";

    // Fewer options: the gone ones are no longer there to press.
    QAccessibleInterface* third = group->child(2);
    control.setOptions({QStringLiteral("上"), QStringLiteral("中")});
    EXPECT_EQ(group->childCount(), 2);
    EXPECT_EQ(group->child(2), nullptr);
    EXPECT_FALSE(third->isValid());
}

TEST(KitControlsTest, OutsideTextsAreShownAsPlainText) {
    const QString outside = QStringLiteral("<b>Web.app</b> &amp; 其他");
    StatusBanner banner(QStringLiteral("exclamationmark.circle"), outside);
    SymbolLabel label(QStringLiteral("app"), outside);
    CaptionLine caption(outside);
    ResultLine result;
    result.setResult(outside, true);
    GroupBox group(outside);
    SwitchRow row(outside);
    for (const QLabel* shown : {static_cast<const QLabel*>(banner.message()->label()),
                                static_cast<const QLabel*>(label.label()), static_cast<const QLabel*>(&caption),
                                static_cast<const QLabel*>(result.label()), static_cast<const QLabel*>(row.label())}) {
        EXPECT_EQ(shown->textFormat(), Qt::PlainText);
        EXPECT_EQ(shown->text(), outside);
    }
    EXPECT_EQ(group.title(), outside);
    EXPECT_EQ(group.findChild<QLabel*>()->textFormat(), Qt::PlainText);
}

TEST(KitControlsTest, ResultLineShowsSuccessErrorOrNothing) {
    QWidget window;
    auto* result = new ResultLine(&window);
    window.show();
    EXPECT_FALSE(result->isVisible());

    struct Case {
        std::optional<QString> message;
        bool isError;
        bool visible;
        const char* symbol;
        KitColour colour;
    };
    const Case cases[] = {
        {QStringLiteral("已导出 3 个手势"), false, true, "checkmark.circle", KitColour::secondary},
        {QStringLiteral("无法写入文件"), true, true, "exclamationmark.circle", KitColour::red},
        {std::nullopt, false, false, "checkmark.circle", KitColour::secondary},
    };
    for (const auto& c : cases) {
        result->setResult(c.message, c.isError);
        EXPECT_EQ(result->isVisible(), c.visible);
        EXPECT_EQ(result->symbol(), QLatin1String(c.symbol));
        EXPECT_EQ(result->label()->colour(), c.colour);
        EXPECT_EQ(result->symbolView()->colour(), c.colour);
        EXPECT_EQ(result->text(), c.message.value_or(QString()));
    }
}

TEST(KitControlsTest, ContainersKeepTheirSpacingAndCorners) {
    GroupBox group(QStringLiteral("手势识别"));
    EXPECT_EQ(group.contentLayout()->spacing(), 14);
    EXPECT_EQ(group.contentLayout()->contentsMargins(), QMargins(12, 12, 12, 12));
    EXPECT_TRUE(group.contentLayout()->alignment().testFlag(Qt::AlignLeading));

    StatusBanner banner;
    EXPECT_DOUBLE_EQ(banner.radius(), 10);
    EXPECT_EQ(banner.fill(), KitColour::quaternary);
    Card card;
    EXPECT_DOUBLE_EQ(card.radius(), 12);
    EXPECT_EQ(card.fill(), KitColour::controlBackground);
}

// Scrolling a page over an unfocused slider, spin box or combo box leaves
// the setting alone and hands the turn on (the application passes an ignored
// wheel event to the parents, so the page scrolls); a focused control takes it.
TEST(KitControlsTest, WheelGuardLeavesUnfocusedControlsAlone) {
    QScrollArea area;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* spinBox = new QSpinBox;
    spinBox->setRange(0, 100);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 100);
    auto* comboBox = new QComboBox;
    comboBox->addItems({QStringLiteral("上"), QStringLiteral("中"), QStringLiteral("下")});
    auto* unguarded = new QSpinBox;
    unguarded->setRange(0, 100);
    for (QWidget* control :
         {static_cast<QWidget*>(spinBox), static_cast<QWidget*>(slider), static_cast<QWidget*>(comboBox)}) {
        layout->addWidget(control);
    }
    layout->addSpacing(2000);
    area.setWidget(page);
    area.resize(300, 200);
    area.show();
    QApplication::setActiveWindow(&area);
    WheelGuard::guardAllIn(page);
    WheelGuard::guardAllIn(page);        // twice is once
    layout->insertWidget(0, unguarded);  // added after the guard
    spinBox->setValue(50);
    slider->setValue(50);
    comboBox->setCurrentIndex(1);
    unguarded->setValue(50);

    // Returns whether the control took the turn.
    const auto turnWheel = [](QWidget* target) {
        const QPointF at = QPointF(target->rect().center());
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
        return event.isAccepted();
    };
    const auto value = [&](QWidget* control) {
        if (auto* box = qobject_cast<QSpinBox*>(control)) return box->value();
        if (control == slider) return slider->value();
        return comboBox->currentIndex();
    };
    struct Case {
        QWidget* control;
        bool focused;
        bool takesTheTurn;
    };
    const Case cases[] = {
        {spinBox, false, false}, {slider, false, false}, {comboBox, false, false}, {spinBox, true, true},
        {slider, true, true},    {comboBox, true, true}, {unguarded, false, true},  // what the guard prevents
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control->metaObject()->className()) + (c.focused ? " focused" : ""));
        if (c.focused) {
            c.control->setFocus();
            ASSERT_TRUE(c.control->hasFocus());
        } else {
            area.setFocus();
        }
        if (c.control != unguarded) {
            EXPECT_NE(c.control->focusPolicy(), Qt::WheelFocus);
        }
        const int before = value(c.control);
        EXPECT_EQ(turnWheel(c.control), c.takesTheTurn);
        EXPECT_EQ(value(c.control) != before, c.takesTheTurn);
    }
    EXPECT_EQ(spinBox->findChildren<WheelGuard*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_TRUE(area.verticalScrollBar()->findChildren<WheelGuard*>().isEmpty());
}

// The kit's pieces together, light and dark, for review.
TEST(KitControlsTest, Sampler) {
    for (const auto& [appearance, palette] :
         {std::pair{"light", test::lightPalette()}, std::pair{"dark", test::darkPalette()}}) {
        const test::ScopedPalette theme(palette);
        QWidget window;
        window.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(20, 20, 20, 20);
        layout->setSpacing(16);
        auto* group = new GroupBox(QStringLiteral("操作提示"));
        auto* row = new SwitchRow(QStringLiteral("显示操作提示"));
        row->setChecked(true);
        group->addWidget(row);
        auto* off = new SwitchRow(QStringLiteral("边缘调节时锁定指针"));
        group->addWidget(off);
        auto* positions = new SegmentedControl({QStringLiteral("上"), QStringLiteral("中"), QStringLiteral("下"),
                                                QStringLiteral("右上角"), QStringLiteral("图标下方")});
        positions->setCurrentIndex(2);
        group->addWidget(positions);
        group->addWidget(new CaptionLine(QStringLiteral("数值越小，越需要靠近边缘开始滑动。")));
        layout->addWidget(group);
        auto* banner = new StatusBanner(QStringLiteral("exclamationmark.circle"),
                                        QStringLiteral("无法锁定键盘，请检查辅助功能权限。"));
        auto* close = new SymbolView(QStringLiteral("xmark"), KitColour::secondary);
        banner->addTrailingWidget(close);
        layout->addWidget(banner);
        auto* card = new Card;
        card->contentLayout()->addWidget(new StyledLabel(QStringLiteral("重复手势"), TextStyle::headline));
        card->contentLayout()->addWidget(new CaptionLine(QStringLiteral("两条规则使用了同一个手势。")));
        layout->addWidget(card);
        auto* success = new ResultLine;
        success->setResult(QStringLiteral("已导出 12 个手势"), false);
        layout->addWidget(success);
        auto* failure = new ResultLine;
        failure->setResult(QStringLiteral("无法读取此文件"), true);
        layout->addWidget(failure);
        window.resize(420, window.sizeHint().height());
        window.show();
        test::saveForReview(test::pictureOf(window), QStringLiteral("kit-%1").arg(QLatin1String(appearance)));
        EXPECT_EQ(window.palette().color(QPalette::Window), palette.color(QPalette::Window));
    }
}

}  // namespace
}  // namespace glidra::kit
