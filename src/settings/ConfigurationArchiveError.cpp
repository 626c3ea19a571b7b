#include "settings/ConfigurationArchiveError.h"

namespace glidra {

QString localizedDescription(ConfigurationArchiveError error) { return enumTitle(error); }

}  // namespace glidra
