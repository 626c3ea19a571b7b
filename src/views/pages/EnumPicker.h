#pragma once

#include "common/EnumTable.h"
#include "views/kit/SegmentedControl.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace glidra {

// One option of a segmented picker: the title shown, tagged with the value
// it selects.
template <typename E>
struct EnumPickerOption {
    E value;
    QString title;

    friend bool operator==(const EnumPickerOption&, const EnumPickerOption&) = default;
};

template <typename E>
EnumPickerOption<E> enumPickerOption(E value, const std::function<QString(E)>& title) {
    return EnumPickerOption<E>{value, title(value)};
}

// The options of every value of a tabled enumeration, in declaration order,
// titled by its table.
template <TabledEnum E>
std::vector<EnumPickerOption<E>> enumPickerOptions() {
    std::vector<EnumPickerOption<E>> options;
    for (const E value : enumAllCases<E>()) options.push_back(enumPickerOption<E>(value, &enumTitle<E>));
    return options;
}

// A segmented control whose segments stand for values of an enumeration.
// Like the kit's control, setting the value from code is silent; onChosen
// hears only the user's choices, with the value chosen.
template <typename E>
class EnumPicker final : public kit::SegmentedControl {
public:
    explicit EnumPicker(std::vector<EnumPickerOption<E>> options = enumPickerOptions<E>(), QWidget* parent = nullptr)
        : kit::SegmentedControl({}, parent), options_(std::move(options)) {
        QStringList titles;
        for (const auto& option : options_) titles << option.title;
        setOptions(titles);
    }

    const std::vector<EnumPickerOption<E>>& pickerOptions() const { return options_; }

    // No segment is selected for a value without an option.
    void setValue(E value) {
        const auto found = std::find_if(options_.begin(), options_.end(),
                                        [value](const EnumPickerOption<E>& option) { return option.value == value; });
        setCurrentIndex(found == options_.end() ? -1 : int(found - options_.begin()));
    }
    std::optional<E> value() const {
        if (currentIndex() < 0) return std::nullopt;
        return options_[std::size_t(currentIndex())].value;
    }

    // Calls `chosen` with the value of each segment the user picks, for as
    // long as `context` lives.
    template <typename F>
    void onChosen(QObject* context, F chosen) {
        connect(this, &kit::SegmentedControl::activated, context,
                [this, chosen = std::move(chosen)](int index) { chosen(options_.at(std::size_t(index)).value); });
    }

private:
    std::vector<EnumPickerOption<E>> options_;
};

}  // namespace glidra

namespace glidra {

// A picker with its title before it, the title also naming it for
// accessibility.
QWidget* titledPicker(const QString& title, kit::SegmentedControl* picker);

}  // namespace glidra
