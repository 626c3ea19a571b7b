#include "settings/ConfigurationArchiveError.h"

namespace glidra {

QString localizedDescription(ConfigurationArchiveError error) { return enumTitle(error); }

QString localizedDescription(const ConfigurationTransferError& failure) {
    const QString text = localizedDescription(failure.error);
    return failure.error == ConfigurationArchiveError::notSaved ? text.arg(failure.reason) : text;
}

}  // namespace glidra
