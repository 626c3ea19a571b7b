#include "views/pages/ConfigurationImportPreview.h"

#include "views/kit/RoundedBox.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/ScrollingBody.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextLayout>
#include <QVBoxLayout>

#include <vector>

namespace glidra {

ConfigurationImportPreview::ConfigurationImportPreview(const ConfigurationArchive& archive, const QString& fileName,
                                                       int currentGestureCount, std::function<void()> onCancel,
                                                       std::function<void()> onImport, QWidget* parent)
    : QDialog(parent), onCancel_(std::move(onCancel)), onImport_(std::move(onImport)) {
    setObjectName(QStringLiteral("configurationImportPreview"));
    setWindowTitle(tr("导入配置"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* heading = new kit::SymbolLabel(QStringLiteral("square.and.arrow.down"), tr("导入配置"));
    heading->setTextStyle(kit::TextStyle::title2, QFont::Bold);

    // Shown as it is: a file name is no markup and no translation key.
    auto* name = new kit::StyledLabel({}, kit::TextStyle::headline);
    name->setObjectName(QStringLiteral("fileName"));
    name->setText(elidedToLines(fileName, name->font(), sheetWidth - 2 * padding, fileNameLines));
    name->setToolTip(fileName);

    auto* summary = new kit::RoundedBox(kit::KitColour::quaternaryFill, 12);
    summary->setObjectName(QStringLiteral("importSummary"));
    auto* counts =
        new kit::StyledLabel(tr("导入 %1 个手势（当前 %2 个）")
                                 .arg(QString::number(archive.gestures.size()), QString::number(currentGestureCount)));
    counts->setObjectName(QStringLiteral("gestureCounts"));
    counts->setWordWrap(true);
    auto* contents =
        new kit::StyledLabel(tr("包含边缘、触发区域和灵敏度设置。"), kit::TextStyle::body, kit::KitColour::secondary);
    contents->setWordWrap(true);
    auto* summaryLayout = new QVBoxLayout(summary);
    summaryLayout->setContentsMargins(16, 16, 16, 16);
    summaryLayout->setSpacing(10);
    summaryLayout->addWidget(counts);
    summaryLayout->addWidget(contents);

    auto* warning = new kit::StyledLabel(tr("当前配置将被替换，可撤销。换设备后，应用和文件可能需要重新选择。"),
                                         kit::TextStyle::callout, kit::KitColour::secondary);
    warning->setWordWrap(true);

    auto* cancel = new QPushButton(tr("取消"));
    cancel->setObjectName(QStringLiteral("cancelImport"));
    cancel->setAutoDefault(false);
    auto* confirm = new QPushButton(tr("确认"));
    confirm->setObjectName(QStringLiteral("confirmImport"));
    confirm->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(confirm);

    // What the import changes scrolls above the buttons on a small screen.
    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(20);
    bodyLayout->addWidget(heading);
    bodyLayout->addWidget(name);
    bodyLayout->addWidget(summary);
    bodyLayout->addWidget(warning);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(20);
    layout->addWidget(new kit::ScrollingBody(body), 1);
    layout->addLayout(buttons);
    kit::fitSheetToScreen(this, sheetWidth);

    connect(cancel, &QPushButton::clicked, this, &ConfigurationImportPreview::reject);
    connect(confirm, &QPushButton::clicked, this, [this] {
        if (onImport_) onImport_();
    });
}

void ConfigurationImportPreview::reject() {
    // Escape and the window's close button end here too: all mean "取消".
    if (onCancel_) onCancel_();
}

QString ConfigurationImportPreview::elidedToLines(const QString& text, const QFont& font, int width, int lines) {
    // A line break in a file name would add lines of its own.
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QTextLayout layout(flat, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<int> starts;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        starts.push_back(line.textStart());
    }
    layout.endLayout();
    if (lines < 1 || starts.size() <= std::size_t(lines)) return flat;
    QStringList shown;
    for (int i = 0; i + 1 < lines; ++i)
        shown << flat.mid(starts[std::size_t(i)], starts[std::size_t(i) + 1] - starts[std::size_t(i)]);
    // The last line shown takes the rest, elided to fit.
    shown << QFontMetrics(font).elidedText(flat.mid(starts[std::size_t(lines) - 1]), Qt::ElideRight, width);
    return shown.join(QLatin1Char('\n'));
}

}  // namespace glidra
