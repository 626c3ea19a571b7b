#pragma once

#include <QtGlobal>

namespace glidra {

// The multitouch device reference as an unsigned machine word; every
// per-device table of the engine is keyed by it.
using DeviceId = quintptr;

}  // namespace glidra
