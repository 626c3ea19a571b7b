#include "settings/SettingsKeys.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/kit/ResultLine.h"
#include "views/pages/ConfigurationImportPreview.h"
#include "views/pages/ConfigurationTransferView.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <functional>
#include <memory>

namespace glidra {
namespace {

const QString kExported = QStringLiteral("已导出 1 个手势和边缘设置。");
const QString kInvalidFile = QStringLiteral("无法识别此配置，请选择 Glidra 导出的配置文件。");

struct Transfer {
    test::UiHarness ui;
    QTemporaryDir folder;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPointer<ConfigurationTransferView> view;

    Transfer() {
        // One gesture in the settings, so counts mean something.
        GestureRule rule;
        rule.action = GestureAction::missionControl;
        ui.h.settings.setRules({rule});
        view = new ConfigurationTransferView(ui.context);
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(view);
        window->resize(560, 200);
        window->show();
    }

    QString path(const QString& name) const { return folder.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    // An exported document with `gestures` rules of its own.
    QByteArray document(int gestures = 2) const {
        ConfigurationArchive archive = ui.h.settings.makeArchive(ui.rig.h.time.clock);
        archive.gestures.clear();
        for (int i = 0; i < gestures; ++i) {
            GestureRule rule;
            rule.action = GestureAction::showDesktop;
            archive.gestures.push_back(rule);
        }
        return archive.encoded().value();
    }
    // Presses the button and answers the panel it opens.
    void choose(const char* name, std::optional<QString> path) {
        QTest::mouseClick(button(QString::fromLatin1(name)), Qt::LeftButton);
        EXPECT_TRUE(ui.fileDialogs.answer(std::move(path)));
    }
    void chooseImport(const QString& path) { choose("importConfiguration", path); }
    QPushButton* button(const QString& name) const { return view->findChild<QPushButton*>(name); }
    ConfigurationImportPreview* sheet() const { return view->sheet(); }
    QPushButton* sheetButton(const QString& name) const { return sheet()->findChild<QPushButton*>(name); }
    bool flag() const { return ui.controller.isTransferringConfiguration(); }
    std::optional<QString> message() const { return view->message(); }
};

TEST(ConfigurationTransferTest, ExportWritesTheFileAndSaysHowManyGestures) {
    Transfer transfer;
    QTest::mouseClick(transfer.button(QStringLiteral("exportConfiguration")), Qt::LeftButton);
    EXPECT_TRUE(transfer.flag()) << "gestures rest while the panel is open";
    // What is exported is what there was when the user asked.
    GestureRule later;
    later.action = GestureAction::copy;
    transfer.ui.h.settings.setRules({later});
    ASSERT_TRUE(transfer.ui.fileDialogs.answer(transfer.path(QStringLiteral("out.json"))));
    EXPECT_FALSE(transfer.flag());
    ASSERT_EQ(transfer.ui.fileDialogs.saveRequests().size(), 1u);
    const auto& request = transfer.ui.fileDialogs.saveRequests().front();
    EXPECT_EQ(request.title, QStringLiteral("导出 Glidra 配置"));
    EXPECT_EQ(request.fileName, QStringLiteral("Glidra-Configuration.json"));
    EXPECT_EQ(request.nameFilters, QStringList{QStringLiteral("JSON (*.json)")});
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("json"));
    EXPECT_EQ(transfer.message(), kExported);
    EXPECT_FALSE(transfer.view->hasError());

    QFile written(transfer.path(QStringLiteral("out.json")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const auto decoded = ConfigurationArchive::decode(written.readAll());
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded.value().gestures.size(), 1u);
    EXPECT_EQ(decoded.value().gestures.front().action, GestureAction::missionControl);

    // Cancelled: nothing written, the line as it was, the flag down.
    transfer.choose("exportConfiguration", std::nullopt);
    EXPECT_EQ(transfer.message(), kExported);
    EXPECT_FALSE(transfer.flag());

    // A folder that is not there: the system's reason, in red.
    transfer.choose("exportConfiguration", transfer.path(QStringLiteral("missing/out.json")));
    EXPECT_TRUE(transfer.view->hasError());
    ASSERT_TRUE(transfer.message());
    EXPECT_FALSE(transfer.message()->isEmpty());
    EXPECT_NE(transfer.message(), kExported);
    EXPECT_FALSE(QFile::exists(transfer.path(QStringLiteral("missing/out.json"))));
    EXPECT_FALSE(transfer.flag());
}

TEST(ConfigurationTransferTest, ImportAsksOnASheetThenReplacesAndUndoes) {
    Transfer transfer;
    const QString file = transfer.write(QStringLiteral("<b>mine<b>.json"), transfer.document(2));
    transfer.chooseImport(file);
    ASSERT_EQ(transfer.ui.fileDialogs.openRequests().size(), 1u);
    EXPECT_EQ(transfer.ui.fileDialogs.openRequests().front().title, QStringLiteral("导入 Glidra 配置"));
    EXPECT_EQ(transfer.ui.fileDialogs.openRequests().front().nameFilters, QStringList{QStringLiteral("JSON (*.json)")});

    // The sheet is up, the flag with it; the name is shown as it is.
    ASSERT_NE(transfer.sheet(), nullptr);
    EXPECT_TRUE(transfer.sheet()->isVisible());
    EXPECT_EQ(transfer.sheet()->width(), 480);
    EXPECT_TRUE(transfer.flag());
    auto* name = transfer.sheet()->findChild<QLabel*>(QStringLiteral("fileName"));
    EXPECT_EQ(name->text(), QStringLiteral("<b>mine<b>.json"));
    EXPECT_EQ(name->textFormat(), Qt::PlainText);
    EXPECT_EQ(transfer.sheet()->findChild<QLabel*>(QStringLiteral("gestureCounts"))->text(),
              QStringLiteral("导入 2 个手势（当前 1 个）"));
    // Nothing of shortcut lists, which this desktop cannot run.
    QStringList texts;
    for (auto* label : transfer.sheet()->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("当前配置将被替换，可撤销。换设备后，应用和文件可能需要重新选择。")));
    EXPECT_FALSE(texts.join(QLatin1Char(' ')).contains(QStringLiteral("快捷指令")));
    test::saveForReview(test::pictureOf(*transfer.sheet()), QStringLiteral("configuration-import-preview"));

    const auto before = transfer.ui.h.settings.rules();
    QTest::mouseClick(transfer.sheetButton(QStringLiteral("confirmImport")), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(transfer.sheet(), nullptr);
    EXPECT_FALSE(transfer.flag());
    EXPECT_EQ(transfer.message(), QStringLiteral("已导入 2 个手势，可撤销。"));
    EXPECT_EQ(transfer.ui.h.settings.rules().size(), 2u);
    auto* undo = transfer.button(QStringLiteral("undoLastImport"));
    EXPECT_TRUE(undo->isVisible());
    EXPECT_EQ(undo->toolTip(), QStringLiteral("恢复到上次导入之前的配置"));

    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_EQ(transfer.message(), QStringLiteral("已恢复导入前的配置。"));
    EXPECT_FALSE(transfer.view->hasError());
    EXPECT_EQ(transfer.ui.h.settings.rules(), before);
    EXPECT_FALSE(undo->isVisible());
    EXPECT_FALSE(transfer.flag());
}

TEST(ConfigurationTransferTest, EscapeCancelsReturnConfirmsAndTheSameFileAsksAgain) {
    Transfer transfer;
    const QString file = transfer.write(QStringLiteral("config.json"), transfer.document(3));
    transfer.chooseImport(file);
    ASSERT_NE(transfer.sheet(), nullptr);
    const QUuid first = transfer.view->pendingImport()->id;
    QTest::keyClick(transfer.sheet(), Qt::Key_Escape);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(transfer.sheet(), nullptr);
    EXPECT_FALSE(transfer.view->pendingImport());
    EXPECT_FALSE(transfer.flag());
    EXPECT_FALSE(transfer.message());
    EXPECT_EQ(transfer.ui.h.settings.rules().size(), 1u);

    transfer.chooseImport(file);
    ASSERT_NE(transfer.sheet(), nullptr);
    EXPECT_NE(transfer.view->pendingImport()->id, first);
    QTest::keyClick(transfer.sheet(), Qt::Key_Return);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(transfer.sheet(), nullptr);
    EXPECT_FALSE(transfer.flag());
    EXPECT_EQ(transfer.message(), QStringLiteral("已导入 3 个手势，可撤销。"));
    EXPECT_EQ(transfer.ui.h.settings.rules().size(), 3u);
}

TEST(ConfigurationTransferTest, EveryFailureShowsItsTextAndLowersTheFlag) {
    struct Row {
        const char* name;
        // Makes the file to choose; nothing for a cancelled panel.
        std::function<std::optional<QString>(const Transfer&)> file;
        std::optional<QString> message;  // none: the line stays empty
        bool sheet = false;
    };
    const auto reschema = [](const Transfer& transfer, const char* key, const QJsonValue& value) {
        QJsonObject json = QJsonDocument::fromJson(transfer.document()).object();
        json.insert(QLatin1StringView(key), value);
        return transfer.write(QStringLiteral("edited.json"), QJsonDocument(json).toJson());
    };
    const auto padded = [](const Transfer& transfer, qint64 size) {
        QByteArray bytes = transfer.document();
        bytes.append(QByteArray(size - bytes.size(), ' '));
        return transfer.write(QStringLiteral("large.json"), bytes);
    };
    const Row rows[] = {
        {"cancelled panel", [](const Transfer&) { return std::nullopt; }, std::nullopt},
        {"exactly the limit", [&](const Transfer& t) { return padded(t, ConfigurationArchive::maximumSize); },
         std::nullopt, true},
        {"one byte past the limit", [&](const Transfer& t) { return padded(t, ConfigurationArchive::maximumSize + 1); },
         QStringLiteral("配置文件过大，请选择小于 10 MB 的文件。")},
        {"empty file", [](const Transfer& t) { return t.write(QStringLiteral("empty.json"), {}); }, kInvalidFile},
        {"wrong format", [&](const Transfer& t) { return reschema(t, "format", QStringLiteral("Other")); },
         kInvalidFile},
        {"unsupported schema", [&](const Transfer& t) { return reschema(t, "schemaVersion", 2); },
         QStringLiteral("此配置的格式版本不受支持，请使用相应版本的 Glidra。")},
        {"a FIFO named like a configuration",
         [](const Transfer& t) {
             const QString path = t.path(QStringLiteral("pipe.json"));
             EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
             return path;
         },
         kInvalidFile},
        {"missing file", [](const Transfer& t) { return t.path(QStringLiteral("gone.json")); },
         QStringLiteral("No such file or directory")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Transfer transfer;
        transfer.choose("importConfiguration", row.file(transfer));
        EXPECT_EQ(transfer.sheet() != nullptr, row.sheet);
        EXPECT_EQ(transfer.flag(), row.sheet);
        EXPECT_EQ(transfer.message(), row.message);
        EXPECT_EQ(transfer.view->hasError(), row.message.has_value());
        EXPECT_EQ(transfer.view->findChild<kit::ResultLine*>()->isVisible(), row.message.has_value());
        EXPECT_EQ(transfer.ui.h.settings.rules().size(), 1u);
    }
}

TEST(ConfigurationTransferTest, AFailedConfirmationOrUndoChangesNothing) {
    Transfer transfer;
    transfer.chooseImport(transfer.write(QStringLiteral("config.json"), transfer.document(2)));
    ASSERT_NE(transfer.sheet(), nullptr);
    transfer.ui.h.defaults.setFailsWrites(true);
    QTest::mouseClick(transfer.sheetButton(QStringLiteral("confirmImport")), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(transfer.sheet(), nullptr);
    EXPECT_FALSE(transfer.flag());
    EXPECT_TRUE(transfer.view->hasError());
    EXPECT_EQ(transfer.message(), QStringLiteral("无法保存设置：No space left on device"));
    EXPECT_EQ(transfer.ui.h.settings.rules().size(), 1u);
    EXPECT_FALSE(transfer.button(QStringLiteral("undoLastImport"))->isVisible());
    transfer.ui.h.defaults.setFailsWrites(false);

    // A backup that no longer decodes stays, and so does the button.
    transfer.chooseImport(transfer.write(QStringLiteral("config.json"), transfer.document(2)));
    QTest::mouseClick(transfer.sheetButton(QStringLiteral("confirmImport")), Qt::LeftButton);
    ASSERT_TRUE(transfer.ui.h.settings.hasConfigurationBackup());
    transfer.ui.h.defaults.setValue(settings_key::configurationBeforeImport, QByteArray("{"));
    for (int press = 0; press < 2; ++press) {
        QTest::mouseClick(transfer.button(QStringLiteral("undoLastImport")), Qt::LeftButton);
        EXPECT_EQ(transfer.message(), kInvalidFile);
        EXPECT_TRUE(transfer.view->hasError());
        EXPECT_TRUE(transfer.button(QStringLiteral("undoLastImport"))->isVisible());
        EXPECT_EQ(transfer.ui.h.settings.rules().size(), 2u);
        EXPECT_FALSE(transfer.flag());
    }
}

TEST(ConfigurationTransferTest, ThePageGoingAwayLowersTheFlag) {
    {
        // With the sheet up.
        Transfer transfer;
        transfer.chooseImport(transfer.write(QStringLiteral("config.json"), transfer.document()));
        ASSERT_NE(transfer.sheet(), nullptr);
        ASSERT_TRUE(transfer.flag());
        transfer.window.reset();
        test::UiHarness::flushDeletes();
        EXPECT_FALSE(transfer.flag());
    }
    for (const bool importing : {false, true}) {
        // While a panel is open: its answer goes nowhere.
        SCOPED_TRACE(importing);
        Transfer transfer;
        const QString file = transfer.write(QStringLiteral("config.json"), transfer.document());
        if (importing) {
            transfer.view->chooseImportFile();
        } else {
            transfer.view->exportConfiguration();
        }
        ASSERT_TRUE(transfer.ui.fileDialogs.isOpen());
        ASSERT_TRUE(transfer.flag());
        transfer.window.reset();
        EXPECT_EQ(transfer.view, nullptr);
        EXPECT_FALSE(transfer.flag());
        EXPECT_FALSE(transfer.ui.fileDialogs.answer(importing ? file : transfer.path(QStringLiteral("out.json"))));
        EXPECT_FALSE(QFile::exists(transfer.path(QStringLiteral("out.json"))));
    }
}

}  // namespace
}  // namespace glidra
