#include "views/actions/CurrentDesktopAbilities.h"

#include "executors/DesktopIconsController.h"
#include "platform/Workspace.h"
#include "views/ViewContext.h"

namespace glidra {

DesktopAbilities currentDesktopAbilities(const ViewContext& context) {
    return DesktopAbilities{
        qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
        context.desktopIcons.isAvailable(),
        context.workspace.hasFilePreviewer(),
        context.workspace.emojiPickerLocation().has_value(),
    };
}

}  // namespace glidra
