#include "views/actions/ShortcutManualEditor.h"

#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

struct ModifierSwitch {
    const char* name;
    const char* objectName;
    std::uint64_t bit;
};

// Linux keyboards send no Fn modifier, so there is no switch for it.
constexpr ModifierSwitch kSwitches[] = {
    {"Ctrl", "Control", modifier_flag::control},
    {"Alt", "Option", modifier_flag::option},
    {"Shift", "Shift", modifier_flag::shift},
    {"Super", "Command", modifier_flag::command},
};

struct Preset {
    const char* label;
    std::uint16_t keyCode;
    std::uint64_t modifiers;
};

// Combinations the Linux desktops keep for themselves, which recording
// cannot catch.
constexpr Preset kPresets[] = {
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Alt+Tab · 切换应用"), 48, modifier_flag::option},
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Super · 活动概览"), 55, 0},
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Ctrl+Alt+T · 打开终端"), 17,
     modifier_flag::control | modifier_flag::option},
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Print · 截屏"), 105, 0},
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Super+L · 锁定屏幕"), 37, modifier_flag::command},
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Ctrl+Alt+← · 上一个工作区"), 123,
     modifier_flag::control | modifier_flag::option},
    {QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "Ctrl+Alt+→ · 下一个工作区"), 124,
     modifier_flag::control | modifier_flag::option},
};

// The picker's sections in the order shown, as ranges of ShortcutKeyOption::all(),
// which lists the media keys last.
struct Section {
    const char* header;
    std::size_t first;
    std::size_t count;
};

constexpr Section kSpecialKeys{QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "特殊按键"), 0, 17};
constexpr Section kFunctionKeys{"F1–F20", 17, 20};
constexpr Section kMediaKeys{QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "媒体与音量"), 84, 10};
constexpr Section kLetterKeys{QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "字母"), 37, 26};
constexpr Section kDigitKeys{QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "数字"), 63, 10};
constexpr Section kPunctuationKeys{QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "符号（美式键位）"), 73, 11};
constexpr const char* kLayoutSymbols = QT_TRANSLATE_NOOP("glidra::ShortcutManualEditor", "符号");

std::vector<std::size_t> indices(const Section& section) {
    std::vector<std::size_t> rows(section.count);
    for (std::size_t i = 0; i < section.count; ++i) rows[i] = section.first + i;
    return rows;
}

bool isLetter(const QString& title) { return title.size() == 1 && title.front().isLetter(); }

// The rows under their headers. On another layout the letters sit elsewhere
// (AZERTY's M is on the US semicolon), so letters and symbols are sorted out
// by what the keys type; the digit row stays one section.
std::vector<std::pair<QString, std::vector<std::size_t>>> sections(const std::vector<ShortcutKeyOption>& options,
                                                                   bool titledByLayout) {
    std::vector<std::size_t> letters;
    std::vector<std::size_t> symbols;
    for (const Section* typing : {&kLetterKeys, &kPunctuationKeys}) {
        for (const std::size_t row : indices(*typing))
            (isLetter(options[row].title) ? letters : symbols).push_back(row);
    }
    std::stable_sort(letters.begin(), letters.end(),
                     [&options](std::size_t a, std::size_t b) { return options[a].title < options[b].title; });
    const auto header = [](const char* text) { return ShortcutManualEditor::tr(text); };
    std::vector<std::pair<QString, std::vector<std::size_t>>> shown{
        {header(kSpecialKeys.header), indices(kSpecialKeys)},
        {QString::fromUtf8(kFunctionKeys.header), indices(kFunctionKeys)},
        {header(kMediaKeys.header), indices(kMediaKeys)},
        {header(kLetterKeys.header), letters},
        {header(kDigitKeys.header), indices(kDigitKeys)},
        // The US symbols only stand for positions unless the layout named
        // them.
        {header(titledByLayout ? kLayoutSymbols : kPunctuationKeys.header), symbols},
    };
    std::erase_if(shown, [](const auto& section) { return section.second.empty(); });
    return shown;
}

const QString kTabID = QStringLiteral("key:48");

QString initialKeyID(const std::optional<KeyboardShortcut>& shortcut) {
    if (!shortcut) return kTabID;
    for (const auto& option : ShortcutKeyOption::all()) {
        const bool matches = shortcut->mediaKey ? option.mediaKey == shortcut->mediaKey
                                                : !option.mediaKey && option.keyCode == shortcut->keyCode;
        if (matches) return option.id();
    }
    return kTabID;
}

}  // namespace

ShortcutManualEditor::ShortcutManualEditor(const std::optional<KeyboardShortcut>& shortcut,
                                           const KeyboardLayout::Legends& legends, QWidget* parent)
    : QWidget(parent),
      options_(ShortcutKeyOption::onLayout(legends)),
      keyID_(initialKeyID(shortcut)),
      function_(shortcut ? shortcut->modifiers & modifier_flag::function : 0),
      keys_(new QComboBox),
      preview_(new kit::StyledLabel({}, kit::TextStyle::title3, kit::KitColour::primary)),
      save_(new QPushButton(tr("使用这个快捷键"))) {
    setObjectName(QStringLiteral("manualShortcutEditor"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    auto* top = new QVBoxLayout;
    top->setSpacing(12);
    top->addWidget(new kit::StyledLabel(tr("手动选择快捷键"), kit::TextStyle::headline));
    auto* presets = new QVBoxLayout;
    presets->setSpacing(8);
    for (std::size_t i = 0; i < std::size(kPresets); ++i) {
        auto* button = new QPushButton(tr(kPresets[i].label));
        button->setObjectName(QStringLiteral("preset%1").arg(i));
        button->setAutoDefault(false);
        presets->addWidget(button, 0, Qt::AlignLeft);
        const Preset preset = kPresets[i];
        connect(button, &QPushButton::clicked, this, [this, preset] { applyPreset(preset.keyCode, preset.modifiers); });
    }
    top->addLayout(presets);
    column->addLayout(top);

    column->addWidget(new kit::StyledLabel(tr("不用实际按下组合键，选好后直接使用。"), kit::TextStyle::callout,
                                           kit::KitColour::secondary));

    auto* switchRow = new QHBoxLayout;
    switchRow->setSpacing(8);
    for (std::size_t i = 0; i < std::size(kSwitches); ++i) {
        auto* toggle = new QToolButton;
        toggle->setObjectName(QStringLiteral("modifier%1").arg(QLatin1String(kSwitches[i].objectName)));
        toggle->setText(QLatin1String(kSwitches[i].name));
        toggle->setCheckable(true);
        toggle->setToolTip(QLatin1String(kSwitches[i].name));
        toggle->setAccessibleName(QLatin1String(kSwitches[i].name));
        toggle->setMinimumWidth(36);
        switchRow->addWidget(toggle);
        switches_[i] = toggle;
        connect(toggle, &QToolButton::toggled, this, &ShortcutManualEditor::refresh);
    }
    switchRow->addStretch(1);
    column->addLayout(switchRow);

    keys_->setObjectName(QStringLiteral("keyPicker"));
    keys_->setMaxVisibleItems(20);
    auto* model = new QStandardItemModel(keys_);
    for (const auto& [title, rows] : sections(options_, !legends.isEmpty())) {
        auto* header = new QStandardItem(title);
        header->setFlags(Qt::NoItemFlags);
        QFont bold = header->font();
        bold.setBold(true);
        header->setFont(bold);
        model->appendRow(header);
        for (const std::size_t row : rows) {
            auto* item = new QStandardItem(options_.at(row).title);
            item->setData(options_.at(row).id(), Qt::UserRole);
            model->appendRow(item);
        }
    }
    keys_->setModel(model);
    auto* keyRow = new QHBoxLayout;
    auto* keyLabel = new kit::StyledLabel(tr("按键"));
    kit::labelField(keyLabel, keys_);
    keyRow->addWidget(keyLabel);
    keyRow->addWidget(keys_, 1);
    column->addLayout(keyRow);
    connect(keys_, &QComboBox::activated, this,
            [this](int row) { selectKey(keys_->itemData(row, Qt::UserRole).toString()); });

    auto* previewBox = new kit::RoundedBox(kit::KitColour::quaternaryFill, 9);
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewBox->setMinimumHeight(44);
    preview_->setObjectName(QStringLiteral("shortcutPreview"));
    preview_->setTextStyle(kit::TextStyle::title3, QFont::Medium);
    preview_->setAlignment(Qt::AlignCenter);
    previewLayout->addWidget(preview_);
    column->addWidget(previewBox);

    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    save_->setObjectName(QStringLiteral("saveShortcut"));
    save_->setAutoDefault(false);
    saveRow->addWidget(save_);
    column->addLayout(saveRow);
    connect(save_, &QPushButton::clicked, this, &ShortcutManualEditor::save);

    setModifiers(shortcut ? shortcut->modifiers : 0);
    refresh();
}

std::uint64_t ShortcutManualEditor::modifiers() const {
    std::uint64_t bits = function_;
    for (std::size_t i = 0; i < std::size(kSwitches); ++i) {
        if (switches_[i]->isChecked()) bits |= kSwitches[i].bit;
    }
    return bits & modifier_flag::shortcutMask;
}

std::optional<ShortcutKeyOption> ShortcutManualEditor::selectedOption() const {
    for (const auto& option : options_) {
        if (option.id() == keyID_) return option;
    }
    return std::nullopt;
}

QString ShortcutManualEditor::preview() const {
    const auto option = selectedOption();
    if (!option) return tr("请选择按键");
    return modifierPrefix(modifiers()) + option->title;
}

void ShortcutManualEditor::applyPreset(std::uint16_t keyCode, std::uint64_t modifiers) {
    keyID_ = QStringLiteral("key:%1").arg(keyCode);
    function_ = modifiers & modifier_flag::function;
    setModifiers(modifiers);
    refresh();
}

void ShortcutManualEditor::save() {
    const auto option = selectedOption();
    if (!option) return;
    Q_EMIT saved(KeyboardShortcut{option->keyCode, modifiers(), preview(), option->mediaKey});
}

void ShortcutManualEditor::selectKey(const QString& id) {
    if (id.isEmpty()) return;
    keyID_ = id;
    refresh();
}

void ShortcutManualEditor::setModifiers(std::uint64_t modifiers) {
    for (std::size_t i = 0; i < std::size(kSwitches); ++i) {
        const QSignalBlocker blocker(switches_[i]);
        switches_[i]->setChecked(modifiers & kSwitches[i].bit);
    }
}

void ShortcutManualEditor::refresh() {
    {
        const QSignalBlocker blocker(keys_);
        keys_->setCurrentIndex(keys_->findData(keyID_, Qt::UserRole));
    }
    preview_->setText(preview());
    save_->setEnabled(selectedOption().has_value());
}

}  // namespace glidra
