#pragma once

#include "gestures/GestureRule.h"
#include "views/rules/GestureRegionFields.h"
#include "views/rules/RuleModifierKeys.h"

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace glidra {

namespace kit {
class GroupBox;
class PlainButton;
class StyledLabel;
}  // namespace kit

struct ViewContext;
class GestureRegionPicker;

// The rule editor's options: limit the rule to a region, to one application
// and to held modifier keys, each added by its button and then shown as a
// section that can clear it. It edits nothing itself: it reports the user's
// changes and the editor hands the new state back.
class GestureRuleOptionsView : public QWidget {
    Q_OBJECT
public:
    explicit GestureRuleOptionsView(ViewContext& context, QWidget* parent = nullptr);

    // From the editor; no signal.
    void setState(const GestureRule& rule, RuleModifierKeys keys);

    bool showsRegionSection() const;
    bool showsModifierSection() const;

    void clearRegion();
    void clearApplication();
    void clearModifiers();

Q_SIGNALS:
    void regionChosen(const glidra::GestureRegionFields& fields);
    void applicationCleared();
    void chooseApplicationRequested();
    void modifiersEdited(glidra::RuleModifierKeys keys);

private:
    QPushButton* addButton(const QString& text, const QString& name);
    QCheckBox* modifierToggle(const QString& key, const QString& name, bool RuleModifierKeys::*flag);
    void sync();

    ViewContext& context_;
    GestureRule rule_;
    RuleModifierKeys keys_;
    bool showsRegion_ = false;
    bool showsModifiers_ = false;

    QPushButton* addRegion_;
    QPushButton* addApplication_;
    QPushButton* addModifiers_;
    QWidget* regionSection_;
    GestureRegionPicker* regionPicker_;
    QWidget* applicationSection_;
    kit::StyledLabel* applicationName_;
    kit::GroupBox* modifierSection_;
    QCheckBox* command_ = nullptr;
    QCheckBox* option_ = nullptr;
    QCheckBox* control_ = nullptr;
    QCheckBox* shift_ = nullptr;
};

}  // namespace glidra
