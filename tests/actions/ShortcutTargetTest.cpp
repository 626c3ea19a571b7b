#include "actions/ShortcutTarget.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

const QString first = QStringLiteral("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
const QString second = QStringLiteral("0c2f1b36-9a8e-4d5b-8f0e-3f6c1a2b4d5e");

TEST(ShortcutTargetTest, ParseListTakesTheIdentifierAfterTheLastOpeningParenthesis) {
    const QString output =
        QStringLiteral("Morning (work) (%1)\n").arg(first) + QStringLiteral("  Padded name  (%1)").arg(second);
    EXPECT_EQ(ShortcutTarget::parseList(output),
              (std::vector<ShortcutTarget>{{first, QStringLiteral("Morning (work)")},
                                           {second, QStringLiteral("  Padded name ")}}));
}

TEST(ShortcutTargetTest, ParseListSkipsLinesOfAnyOtherForm) {
    struct Case {
        QString line;
        const char* why;
    };
    const Case cases[] = {
        {QStringLiteral("No identifier"), "no parentheses"},
        {QStringLiteral("Trailing blank (%1) ").arg(first), "does not end with )"},
        {QStringLiteral("Glued(%1)").arg(first), "no blank before ("},
        {QStringLiteral("Not a UUID (1234)"), "not a UUID"},
        {QStringLiteral("Braced ({%1})").arg(first), "braces are not the tool's form"},
        {QStringLiteral("Short (%1)").arg(first.left(35)), "one character short"},
        {QStringLiteral("Empty ()"), "empty identifier"},
        {QStringLiteral(" (%1").arg(first), "no closing parenthesis"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ShortcutTarget::parseList(c.line).empty()) << c.why;
    }
    EXPECT_TRUE(ShortcutTarget::parseList(QString()).empty());
}

TEST(ShortcutTargetTest, ParseListSplitsAtEveryKindOfLineBreak) {
    const QString line = QStringLiteral("S (%1)").arg(first);
    const QChar breaks[] = {u'\n', u'\v', u'\f', u'\r', QChar(0x0085), QChar(0x2028), QChar(0x2029)};
    for (const QChar lineBreak : breaks) {
        const QString output = line + lineBreak + lineBreak + line + QStringLiteral("\r\n");
        EXPECT_EQ(ShortcutTarget::parseList(output).size(), 2u) << "U+" << std::hex << int(lineBreak.unicode());
    }
}

TEST(ShortcutTargetTest, TheNilUuidIsAValidIdentifier) {
    const auto targets = ShortcutTarget::parseList(QStringLiteral("Nil (00000000-0000-0000-0000-000000000000)"));
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].name, QStringLiteral("Nil"));
}

}  // namespace
}  // namespace glidra
