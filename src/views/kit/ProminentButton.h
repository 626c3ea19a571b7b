#pragma once

class QPushButton;

namespace glidra::kit {

// The filled look of the one button that finishes a sheet, in the accent
// colour of the palette.
void makeProminent(QPushButton* button);

}  // namespace glidra::kit
