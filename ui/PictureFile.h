#pragma once
// A shown picture saved as a file the user chooses: PNG, or SVG where the
// name ends in .svg.

class QWidget;

namespace corvane {

class OutputGuard;
class Platform;
class UserChoices;

// Asks for the file, draws `view` into memory and writes it whole, never
// over a file `guard` keeps; a refusal or a failure is reported through
// the platform.
void SaveShownPicture(Platform& platform, QWidget* parent, QWidget* view, UserChoices* choices,
                      const OutputGuard* guard = nullptr);

}  // namespace corvane
