#include "support/QtPrinters.h"
#include "views/pages/SlideDistancePicker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

namespace glidra {
namespace {

// A picker whose owner stores every edit and hands it back, as a row does.
struct OwnedPicker {
    SlideDistance stored{12};
    int writes = 0;
    QWidget window;
    SlideDistancePicker* picker = new SlideDistancePicker(stored, &window);
    QLineEdit* other = new QLineEdit(&window);

    OwnedPicker() {
        QObject::connect(picker, &SlideDistancePicker::selectionEdited, picker, [this](SlideDistance distance) {
            stored = distance;
            ++writes;
            picker->setSelection(distance);
        });
        other->move(0, 60);
        window.resize(400, 100);
        window.show();
        QApplication::setActiveWindow(&window);
    }

    void type(const QString& text) {
        picker->field()->setFocus();
        picker->field()->selectAll();
        picker->field()->del();
        picker->field()->insert(text);
    }
};

TEST(SlideDistancePickerTest, TheFieldCommitsOnlyWhatItsGrammarReads) {
    struct Case {
        const char16_t* typed;
        int stored;  // 12 when the text is refused
    };
    const Case cases[] = {
        {u"0", 1},     {u"-3", 1},  {u"101", 100}, {u"250", 100}, {u" 40 ", 40},
        {u"+5", 5},    {u"007", 7}, {u"4.5", 12},  {u"abc", 12},  {u"12%", 12},
        {u"１２", 12}, {u"", 12},   {u"+", 12},    {u"--3", 12},  {u"99999999999999999999", 12},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        SCOPED_TRACE(typed.toStdString());
        for (const bool byReturn : {true, false}) {
            OwnedPicker owned;
            owned.type(typed);
            EXPECT_EQ(owned.writes, 0) << "nothing is stored while typing";
            if (byReturn) {
                QTest::keyClick(owned.picker->field(), Qt::Key_Return);
            } else {
                owned.other->setFocus();
            }
            EXPECT_EQ(owned.stored.percent, c.stored);
            EXPECT_EQ(owned.writes, c.stored == 12 ? 0 : 1);
            EXPECT_EQ(owned.picker->field()->text(), QString::number(c.stored));
            EXPECT_EQ(owned.picker->slider()->value(), c.stored);
        }
    }
}

TEST(SlideDistancePickerTest, ShowsOutsideValuesAsTheyAreAndTypedTextWinsOverTheSlider) {
    OwnedPicker owned;
    EXPECT_EQ(owned.picker->field()->text(), QStringLiteral("12")) << "filled when shown";

    // A stored value out of range shows as it is; the slider rests at its end.
    owned.picker->setSelection(SlideDistance{150});
    EXPECT_EQ(owned.picker->field()->text(), QStringLiteral("150"));
    EXPECT_EQ(owned.picker->slider()->value(), 100);
    EXPECT_EQ(owned.writes, 0);

    // While the field is edited, a slider move stores but leaves the text;
    // leaving the field then commits the text over the slider's value.
    owned.type(QStringLiteral("33"));
    owned.picker->slider()->setValue(60);
    EXPECT_EQ(owned.stored.percent, 60);
    EXPECT_EQ(owned.picker->field()->text(), QStringLiteral("33"));
    owned.other->setFocus();
    EXPECT_EQ(owned.stored.percent, 33);
    EXPECT_EQ(owned.picker->field()->text(), QStringLiteral("33"));

    // Without focus, a change from outside refills the field.
    owned.picker->setSelection(SlideDistance{-4});
    EXPECT_EQ(owned.picker->field()->text(), QStringLiteral("-4"));
    EXPECT_EQ(owned.picker->slider()->value(), 1);
}

}  // namespace
}  // namespace glidra
