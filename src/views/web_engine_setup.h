// What the embedded browser needs before the application object exists: its sandbox cannot
// start for the root user, so it is switched off then (and only then), and the browser
// shares its graphics contexts with the widgets. It also learns the "app:" scheme, so that
// it asks the program before it follows such an address.
#pragma once

namespace mlf {

void PrepareWebEngine();

}  // namespace mlf
