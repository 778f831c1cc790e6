#pragma once

namespace torvane {

// Joins the calling (user-interface) thread to a single-threaded COM apartment
// the first time something needs COM: the file dialogs, the shell and the
// codecs. Starting without COM keeps the usual start quick.
void EnsureComApartment();

}  // namespace torvane
