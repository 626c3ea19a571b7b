#include "platform/linux/AtspiBrowserPageSource.h"

#include "platform/FakeAccessibilityTree.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QTest>

namespace glidra {
namespace {

using test::FakeAccessibilityTree;
using test::resultOf;
using Node = FakeAccessibilityTree::Node;
using Outcome = BrowserPageReply::Outcome;

const QString chromium = QStringLiteral("chromium.desktop");
constexpr quint64 active = FakeAccessibilityTree::active;
constexpr quint64 showing = FakeAccessibilityTree::showing;

QString path(const char* name) { return QStringLiteral("/org/a11y/atspi/accessible/") + QLatin1String(name); }

struct AtspiFixture : ::testing::Test {
    test::PrivateSessionBus bus;
    FakeAccessibilityTree tree;
    std::optional<linux_platform::AtspiBrowserPageSource> source;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        // The private bus serves as session and accessibility bus at once.
        source.emplace(bus.connect(QStringLiteral("glidra-atspi-client")));
    }

    void publish() { ASSERT_TRUE(tree.publish(bus.connect(QStringLiteral("glidra-atspi-tree")), bus.address())); }

    // A browser application with windows, each holding a panel that holds
    // documents: `pages` lists per window its documents (title, address,
    // showing) and whether the window is active.
    struct Page {
        QString title;
        QString address;
        bool showing = true;
    };
    struct Window {
        bool active = false;
        std::vector<Page> pages;
    };
    static Node node(const QString& role, const QString& name, quint64 states) {
        Node made;
        made.role = role;
        made.name = name;
        made.states = states;
        return made;
    }

    void browser(const char* application, const QString& toolkit, const std::vector<Window>& windows,
                 const QString& addressKey = QStringLiteral("URI")) {
        Node& app = tree.nodes[path(application)];
        app = node(QStringLiteral("application"), QString(), 0);
        app.toolkit = toolkit;
        tree.nodes[FakeAccessibilityTree::root()].children.append(path(application));
        for (std::size_t w = 0; w < windows.size(); ++w) {
            const QString frame = path(application) + QStringLiteral("/w%1").arg(w);
            const QString panel = frame + QStringLiteral("/panel");
            app.children.append(frame);
            tree.nodes[frame] =
                node(QStringLiteral("frame"), QStringLiteral("window"), showing | (windows[w].active ? active : 0));
            tree.nodes[frame].children = {panel};
            tree.nodes[panel] = node(QStringLiteral("panel"), QString(), showing);
            for (std::size_t d = 0; d < windows[w].pages.size(); ++d) {
                const Page& page = windows[w].pages[d];
                const QString document = panel + QStringLiteral("/d%1").arg(d);
                tree.nodes[panel].children.append(document);
                tree.nodes[document] = node(QStringLiteral("document web"), page.title, page.showing ? showing : 0);
                tree.nodes[document].attributes = {{addressKey, page.address}};
            }
        }
    }

    BrowserPageReply read(const QString& desktopId = chromium) {
        auto reply = resultOf(source->readFrontTab(desktopId));
        EXPECT_TRUE(QTest::qWaitFor([&] { return reply->has_value(); }, 20000));
        return reply->value_or(BrowserPageReply{Outcome::failed, QStringLiteral("no answer"), std::nullopt});
    }
};

BrowserPageReply page(const QString& title, const QString& address) { return {Outcome::page, title, address}; }
BrowserPageReply refused(Outcome outcome) { return {outcome, std::nullopt, std::nullopt}; }

TEST_F(AtspiFixture, ReadsTheShowingDocumentOfTheActiveWindow) {
    publish();
    const QString title = QStringLiteral("A \"quoted\" \\ title\n第二行");
    browser("app1", QStringLiteral("Chromium"),
            {Window{false, {{QStringLiteral("Other"), QStringLiteral("https://other.example")}}},
             Window{true,
                    {{QStringLiteral("Background"), QStringLiteral("https://hidden.example"), false},
                     {title, QStringLiteral("https://example.com/?q=\"x\"&y='z'")}}}});
    EXPECT_EQ(read(), page(title, QStringLiteral("https://example.com/?q=\"x\"&y='z'")));
}

TEST_F(AtspiFixture, WithoutAnActiveWindowTheOnlyWindowShowingAPageIsTheFrontOne) {
    publish();
    browser("app1", QStringLiteral("Chromium"),
            {Window{false, {{QString(), QString()}}},  // a helper window without a page
             Window{false, {{QStringLiteral("Page"), QStringLiteral("https://a.example")}}}});
    EXPECT_EQ(read(), page(QStringLiteral("Page"), QStringLiteral("https://a.example")));

    browser("app2", QStringLiteral("Chromium"),
            {Window{false, {{QStringLiteral("B"), QStringLiteral("https://b.example")}}}});
    EXPECT_EQ(read(), refused(Outcome::failed)) << "two windows, none known to be in front";
}

TEST_F(AtspiFixture, FindsFirefoxByItsToolkitAndAddressAttribute) {
    publish();
    browser("app1", QStringLiteral("Chromium"),
            {Window{true, {{QStringLiteral("C"), QStringLiteral("https://c.example")}}}});
    browser("app2", QStringLiteral("Gecko"),
            {Window{true, {{QStringLiteral("F"), QStringLiteral("https://f.example")}}}}, QStringLiteral("DocURL"));
    EXPECT_EQ(read(QStringLiteral("firefox-esr.desktop")),
              page(QStringLiteral("F"), QStringLiteral("https://f.example")));
    EXPECT_EQ(read(chromium), page(QStringLiteral("C"), QStringLiteral("https://c.example")));
}

TEST_F(AtspiFixture, ABrowserThatDoesNotPublishItsPagesIsNotAuthorized) {
    EXPECT_EQ(read(), refused(Outcome::notAuthorized)) << "no accessibility bus";
    publish();
    EXPECT_EQ(read(), refused(Outcome::notAuthorized)) << "no browser on it";
    browser("app1", QStringLiteral("Gecko"),
            {Window{true, {{QStringLiteral("F"), QStringLiteral("https://f.example")}}}});
    EXPECT_EQ(read(chromium), refused(Outcome::notAuthorized)) << "only another browser";
    browser("app2", QStringLiteral("Chromium"),
            {Window{true, {{QStringLiteral("C"), QStringLiteral("https://c.example")}}}});
    tree.nodes[path("app2") + QStringLiteral("/w0/panel")].unpublished = true;
    EXPECT_EQ(read(chromium), refused(Outcome::notAuthorized));
}

TEST_F(AtspiFixture, AWindowWithoutAnAddressHasNoPage) {
    publish();
    browser("app1", QStringLiteral("Chromium"), {Window{true, {}}});
    EXPECT_EQ(read(), refused(Outcome::noPage));
    browser("app2", QStringLiteral("Chromium"), {});
    tree.nodes[path("app1") + QStringLiteral("/w0/panel")].children.clear();
    browser("app3", QStringLiteral("Chromium"), {Window{true, {{QStringLiteral("New tab"), QString()}}}});
    tree.nodes[path("app1") + QStringLiteral("/w0")].states = showing;  // app3's window is the active one
    EXPECT_EQ(read(), refused(Outcome::noPage));
}

TEST_F(AtspiFixture, APageThatChangesDuringTheReadIsNotReturned) {
    publish();
    browser("app1", QStringLiteral("Chromium"),
            {Window{true, {{QStringLiteral("Old"), QStringLiteral("https://a.example")}}}});
    const QString document = path("app1") + QStringLiteral("/w0/panel/d0");
    int attributeReads = 0;
    tree.onCall = [&](const QString& method, const QString& at) {
        if (method == QLatin1String("GetAttributes") && at == document && ++attributeReads == 1) {
            tree.nodes[document].name = QStringLiteral("New");
        }
    };
    EXPECT_EQ(read(), refused(Outcome::changed));

    // The window leaves the front and its page goes between the two readings.
    const QString window = path("app1") + QStringLiteral("/w0");
    tree.nodes[document].name = QStringLiteral("Old");
    int windowReads = 0;
    tree.onCall = [&](const QString& method, const QString& at) {
        if (method == QLatin1String("GetState") && at == window && ++windowReads == 2) {
            tree.nodes[window].states = showing;
            tree.nodes[window + QStringLiteral("/panel")].children.clear();
        }
    };
    EXPECT_EQ(read(), refused(Outcome::changed));
}

TEST_F(AtspiFixture, ADocumentThatVanishesWhileItIsReadWasNotFound) {
    publish();
    browser("app1", QStringLiteral("Chromium"),
            {Window{true, {{QStringLiteral("Old"), QStringLiteral("https://a.example")}}}});
    const QString document = path("app1") + QStringLiteral("/w0/panel/d0");
    tree.onCall = [&](const QString& method, const QString& at) {
        if (method == QLatin1String("GetAttributes") && at == document) tree.nodes.erase(document);
    };
    EXPECT_EQ(read(), refused(Outcome::notFound));
}

}  // namespace
}  // namespace glidra
